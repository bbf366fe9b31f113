#pragma once

#include "db/database_set.h"
#include "devcomm/device_context.h"
#include "devcomm/device_info.h"

#include <QStringList>

enum TAddressOutcome { aoNoDevice, aoWriteFailed, aoNoDeviceAtNewAddress, aoOtherDevice, aoDone };

// "Change Address": writes the new station address into the device that answers at the old
// one, checks that the same device answers at the new address, and records the address in the
// user database (node and address parameter). The link's address follows the device: the old
// one until the write, the new one from then on. The application rebuilds the tree and selects
// the device by its address afterwards. Runs on the user-interface thread.
TAddressOutcome ChangeDeviceAddress(TDatabaseSet& db, TDeviceContext& context, TDeviceInfo& info,
                                    int oldAddress, int newAddress);

// The two statements that record the identified device's address (trace numbers 1 and 2); the
// device's node is the one with its identification text, or without one, the node of its type
// at the former address.
QStringList AddressStatements(TDatabaseSet& db, const TDeviceInfo& info, int oldAddress);

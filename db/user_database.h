#pragma once

#include "db/database_set.h"

#include <QString>

// Makes a new, empty user database at path (folder chain included): the three tables, the first
// segment row and the template's common parameter rows. Returns the id of that segment.
int CreateUserDatabase(TDatabaseSet& db, const QString& path);

// Adds to the open user database every column of the three column arrays that it lacks.
void UpgradeUserDatabase(TDatabaseSet& db);

enum TUserDbOpening { udCreated, udUpgraded };

// Opens the user database at path for the start of the program: a file with all three tables is
// upgraded, anything else (no folder, no file, a missing table) is created anew.
TUserDbOpening OpenUserDatabase(TDatabaseSet& db, const QString& path);

// Copies every template parameter row of template node s to user node d in one multi-row insert.
void CopyParameters(TDatabaseSet& db, int s, int d);

// The id of the first segment of the user database, or fallback when it has none.
int FirstSegmentId(TDatabaseSet& db, int fallback);

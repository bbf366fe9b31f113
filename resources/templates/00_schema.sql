-- Template database: the seven tables the program reads, and the rows every device shares.
--
-- mb_node and mb_parameter have the column layout of the user database, so nodes and their
-- parameter rows can be copied by column name. The other tables carry an id of their own where
-- the program reads them in row order (mb_png rules, mb_diag rows) or edits them on the
-- template page.
--
-- Number ranges, so the files of the product line never collide:
--   mb_node ids      device nodes: the template ids of the brand lists (39, 13, 34, 42, 1, 8, 14)
--                    and 50 (TT2); sub-nodes: 1000 + device id * 10 + n
--   mb_text ids      1-199 common, 200-399 UT10, 400-499 TT2, 500-699 AI4 and AI4-I,
--                    700-799 AO4, 800-899 DI4, 900-999 DO4
--   mb_select ids    1-9 common, 10-29 UT10, 30-39 TT2, 40-49 AI4, 50-59 AO4, 60-69 DI4, 70-79 DO4
--
-- Tree icons (indices of the 16-pixel image list of the node tree):
--   20 device, 21 device selected, 22 analogue input channel, 23 analogue output channel,
--   24 relay or switching output, 25 channel switched off, 26 Modbus interface, 27 device data,
--   28 digital input channel, 29 digital output channel (30 is the segment's).
--
-- Register numbers are five-digit holding-register numbers; the Modbus protocol address is the
-- number minus 40001. Registers every device answers: 43001 (type code), 43002 (OEM, hardware
-- version), 43003-43014 (identification text), 43029 (firmware), 43031-43038 (maker),
-- 43039-43050 (device name), 40103 (parameter set), 45010-45013 (bus settings),
-- 45151-45158 (measuring point), 41202 (counter reset), 41211-41229 (bus counters and map),
-- 48213 (store command).

CREATE TABLE mb_node (
    id INTEGER PRIMARY KEY,
    pid int(10) NOT NULL default '0',
    sorting int(10) NOT NULL default '0',
    title varchar(32) NOT NULL default '',
    parentID int(10) NOT NULL default '0',
    name varchar(32) NOT NULL default '',
    fullnameID int(10) NOT NULL default '0',
    devid varchar(4) NOT NULL default '',
    vendorID int(10) NOT NULL default '0',
    icon int(10) NOT NULL default '-1',
    icon_active int(10) NOT NULL default '-1',
    minversion varchar(4) NOT NULL default '',
    maxversion varchar(4) NOT NULL default '',
    online char(1) NOT NULL default '',
    addr int(3) NOT NULL default '0',
    rfid varchar(16) NOT NULL default '',
    tag varchar(16) NOT NULL default '',
    cond varchar(64) NOT NULL default '',
    vallist varchar(64) NOT NULL default '',
    load varchar(64) NOT NULL default '',
    collapse char(1) NOT NULL default ''
);

CREATE TABLE mb_parameter (
    id INTEGER PRIMARY KEY,
    pid int(10) NOT NULL default '0',
    sorting int(10) NOT NULL default '0',
    modreg int(10) NOT NULL default '0',
    regcnt int(10) NOT NULL default '1',
    access int(10) NOT NULL default '3',
    type varchar(16) NOT NULL default '',
    value varchar(24) NOT NULL default '',
    min varchar(8) NOT NULL default '',
    max varchar(8) NOT NULL default '',
    factory varchar(24) NOT NULL default '',
    textID int(10) NOT NULL default '0',
    copyto varchar(64) NOT NULL default '',
    refresh char(1) NOT NULL default '',
    block varchar(10) NOT NULL default '0',
    byteofs varchar(10) NOT NULL default '0',
    label varchar(16) NOT NULL default '',
    cond varchar(64) NOT NULL default '',
    vallist varchar(64) NOT NULL default ''
);

CREATE TABLE mb_text (
    id INTEGER PRIMARY KEY,
    txt_de varchar(128) NOT NULL default '',
    txt_en varchar(128) NOT NULL default '',
    txt_fr varchar(128) NOT NULL default ''
);

-- type is kept for the template page and not interpreted; multiple is '1' for bit sets whose
-- options may be active together.
CREATE TABLE mb_select (
    id INTEGER PRIMARY KEY,
    title varchar(32) NOT NULL default '',
    type int(10) NOT NULL default '0',
    multiple char(1) NOT NULL default ''
);

CREATE TABLE mb_option (
    id INTEGER PRIMARY KEY,
    pid int(10) NOT NULL default '0',
    value int(10) NOT NULL default '0',
    sorting int(10) NOT NULL default '0',
    textID int(10) NOT NULL default '0',
    symbol int(10) NOT NULL default '-1',
    selected char(1) NOT NULL default ''
);

-- Wiring rules, applied in id order: a later rule for the same place wins.
CREATE TABLE mb_png (
    id INTEGER PRIMARY KEY,
    devid varchar(4) NOT NULL default '',
    pos int(10) NOT NULL default '0',
    png varchar(32) NOT NULL default '',
    modreg1 int(10) NOT NULL default '0',
    mask1 int(10) NOT NULL default '0',
    vlist1 varchar(64) NOT NULL default '',
    modreg2 int(10) NOT NULL default '0',
    mask2 int(10) NOT NULL default '0',
    vlist2 varchar(64) NOT NULL default '',
    modreg3 int(10) NOT NULL default '0',
    mask3 int(10) NOT NULL default '0',
    vlist3 varchar(64) NOT NULL default ''
);

-- Diagnostic values. The column live is read only by the device simulator: it says how the
-- simulated device lets the value move ("sine LOW HIGH PERIOD_S", "walk CENTRE SPREAD",
-- "count START PER_S", "above MASK MODREG;below MASK MODREG..." for status bits that follow the
-- first "sine" value of the device against FLOAT settings, "fixed" for a value left as it is).
CREATE TABLE mb_diag (
    id INTEGER PRIMARY KEY,
    devid varchar(4) NOT NULL default '',
    minversion varchar(4) NOT NULL default '',
    maxversion varchar(4) NOT NULL default '',
    sorting int(10) NOT NULL default '0',
    modreg int(10) NOT NULL default '0',
    regcnt int(10) NOT NULL default '1',
    block varchar(10) NOT NULL default '0',
    byteofs varchar(10) NOT NULL default '0',
    access int(10) NOT NULL default '1',
    type varchar(16) NOT NULL default '',
    textID int(10) NOT NULL default '0',
    format varchar(32) NOT NULL default '',
    offset varchar(16) NOT NULL default '',
    factor varchar(16) NOT NULL default '',
    live varchar(64) NOT NULL default ''
);

-- Common texts.
INSERT INTO mb_text (id, txt_de, txt_en, txt_fr) VALUES
    (1, 'Segmentname', 'Segment name', 'Nom du segment'),
    (2, 'Segment-Kennzeichen', 'Segment tag', 'Repère du segment'),
    (3, 'Modbus-Adresse', 'Modbus address', 'Adresse Modbus'),
    (4, 'Messstelle', 'Measuring point', 'Point de mesure'),
    (5, 'Baudrate', 'Baud rate', 'Vitesse de transmission'),
    (6, 'Datenformat', 'Framing', 'Format des données'),
    (7, 'Antwortverzögerung (ms)', 'Response delay (ms)', 'Délai de réponse (ms)'),
    (8, 'Identifikation', 'Identification', 'Identification'),
    (9, 'Firmware-Version (codiert)', 'Firmware version (coded)', 'Version du micrologiciel (codée)'),
    (10, 'Hersteller', 'Maker', 'Fabricant'),
    (11, 'Gerätename', 'Device name', 'Nom de l’appareil'),
    (12, 'Betriebsstunden', 'Operating hours', 'Heures de fonctionnement'),
    (13, 'Gerätestatus', 'Device status', 'État de l’appareil'),
    (14, 'Werkseinstellungen laden', 'Restore factory settings', 'Rétablir les réglages d’usine'),
    (15, 'Nein', 'No', 'Non'),
    (16, 'Ja', 'Yes', 'Oui'),
    (17, 'Gerätedaten', 'Device data', 'Données de l’appareil'),
    (18, 'Modbus-Schnittstelle', 'Modbus interface', 'Interface Modbus'),
    (19, 'Klemmentemperatur', 'Terminal temperature', 'Température des bornes'),
    (20, '300', '300', '300'),
    (21, '600', '600', '600'),
    (22, '1200', '1200', '1200'),
    (23, '2400', '2400', '2400'),
    (24, '4800', '4800', '4800'),
    (25, '9600', '9600', '9600'),
    (26, '19200', '19200', '19200'),
    (27, '38400', '38400', '38400'),
    (28, '57600', '57600', '57600'),
    (29, '115200', '115200', '115200'),
    (30, '8E1 (gerade Parität)', '8E1 (even parity)', '8E1 (parité paire)'),
    (31, '8O1 (ungerade Parität)', '8O1 (odd parity)', '8O1 (parité impaire)'),
    (32, '8N2 (ohne Parität, 2 Stoppbits)', '8N2 (no parity, 2 stop bits)', '8N2 (sans parité, 2 bits d’arrêt)'),
    (33, '8N1 (ohne Parität)', '8N1 (no parity)', '8N1 (sans parité)'),
    (34, 'Speicherfehler', 'Memory error', 'Erreur de mémoire'),
    (35, 'Kalibrierfehler', 'Calibration error', 'Erreur d’étalonnage'),
    (36, 'Gerätefehler', 'Device errors', 'Erreurs de l’appareil'),
    (37, 'Kanal 1', 'Channel 1', 'Voie 1'),
    (38, 'Kanal 2', 'Channel 2', 'Voie 2'),
    (39, 'Kanal 3', 'Channel 3', 'Voie 3'),
    (40, 'Kanal 4', 'Channel 4', 'Voie 4'),
    (41, 'Filterzeit (0,1 s)', 'Filter time (0.1 s)', 'Temps de filtrage (0,1 s)'),
    (42, 'Reserviert', 'Reserved', 'Réservé'),
    (43, 'Kalibrier-Offset', 'Calibration offset', 'Décalage d’étalonnage'),
    (44, 'Versorgungsspannung', 'Supply voltage', 'Tension d’alimentation');

-- Option lists every model uses.
INSERT INTO mb_select (id, title, type, multiple) VALUES
    (1, 'SELECT_NOYES', 0, ''),
    (2, 'SELECT_BAUD', 0, ''),
    (3, 'SELECT_FRAMING', 0, ''),
    (4, 'BINARY_DEVERROR', 1, '');

INSERT INTO mb_option (pid, value, sorting, textID, symbol, selected) VALUES
    (1, 0, 1, 15, -1, '1'),
    (1, 1, 2, 16, -1, ''),
    (2, 0, 1, 20, -1, ''),
    (2, 1, 2, 21, -1, ''),
    (2, 2, 3, 22, -1, ''),
    (2, 3, 4, 23, -1, ''),
    (2, 4, 5, 24, -1, ''),
    (2, 5, 6, 25, -1, ''),
    (2, 6, 7, 26, -1, '1'),
    (2, 7, 8, 27, -1, ''),
    (2, 8, 9, 28, -1, ''),
    (2, 9, 10, 29, -1, ''),
    (3, 0, 1, 30, -1, '1'),
    (3, 1, 2, 31, -1, ''),
    (3, 2, 3, 32, -1, ''),
    (3, 3, 4, 33, -1, ''),
    (4, 1, 1, 34, -1, ''),
    (4, 2, 2, 35, -1, '');

-- Common rows (pid 0): the segment's own settings, copied into every new user database.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist) VALUES
    (0, 1, 0, 12, 2, 'ASCII24', 'Modbus-Segment', '', '', 'Modbus-Segment', 1,
     'mb_segment.caption', '1', '0', '0', '', '', ''),
    (0, 2, 0, 8, 2, 'ASCII16', '', '', '', '', 2, 'mb_segment.tag', '1', '0', '0', '', '', '');

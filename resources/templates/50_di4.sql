-- DI4 four-channel digital input (type code 0008): logic, counter, frequency or AC detection per
-- channel. Channel n owns the registers from 41001 + 20 * (n - 1): a block of four registers
-- (mode, edge, debounce time, counter preset) and the live counter and frequency.

INSERT INTO mb_text (id, txt_de, txt_en, txt_fr) VALUES
    (800, '{{DI4}} Digitaleingang 4fach', '{{DI4}} digital input, 4 channels', 'Entrée TOR 4 voies {{DI4}}'),
    (801, 'Logik', 'Logic', 'Logique'),
    (802, 'Zähler', 'Counter', 'Compteur'),
    (803, 'Frequenz', 'Frequency', 'Fréquence'),
    (804, 'Wechselspannungserkennung', 'AC detection', 'Détection de tension alternative'),
    (805, 'Flanke', 'Edge', 'Front'),
    (806, 'Steigend', 'Rising', 'Montant'),
    (807, 'Fallend', 'Falling', 'Descendant'),
    (808, 'Entprellzeit (ms)', 'Debounce time (ms)', 'Temps d’anti-rebond (ms)'),
    (809, 'Zähler-Vorwahl', 'Counter preset', 'Présélection du compteur'),
    (810, 'Zählerstand', 'Counter value', 'Valeur du compteur'),
    (811, 'Frequenz (Hz)', 'Frequency (Hz)', 'Fréquence (Hz)'),
    (812, 'Eingang 1 ein', 'Input 1 on', 'Entrée 1 active'),
    (813, 'Eingang 2 ein', 'Input 2 on', 'Entrée 2 active'),
    (814, 'Eingang 3 ein', 'Input 3 on', 'Entrée 3 active'),
    (815, 'Eingang 4 ein', 'Input 4 on', 'Entrée 4 active'),
    (816, 'Eingänge', 'Inputs', 'Entrées'),
    (817, 'Zählerstand Kanal 1', 'Channel 1 counter', 'Compteur voie 1'),
    (818, 'Frequenz Kanal 2', 'Channel 2 frequency', 'Fréquence voie 2');

INSERT INTO mb_select (id, title, type, multiple) VALUES
    (60, 'SELECT_DI_MODE', 0, ''),
    (61, 'SELECT_DI_EDGE', 0, ''),
    (62, 'BINARY_DI_STATE', 1, '1');

INSERT INTO mb_option (pid, value, sorting, textID, symbol, selected) VALUES
    (60, 0, 1, 262, 25, ''),
    (60, 1, 2, 801, 28, '1'),
    (60, 2, 3, 802, 28, ''),
    (60, 3, 4, 803, 28, ''),
    (60, 4, 5, 804, 28, ''),
    (61, 0, 1, 806, -1, '1'),
    (61, 1, 2, 807, -1, ''),
    (62, 1, 1, 812, -1, ''),
    (62, 2, 2, 813, -1, ''),
    (62, 4, 3, 814, -1, ''),
    (62, 8, 4, 815, -1, '');

INSERT INTO mb_node
    (id, pid, sorting, title, parentID, name, fullnameID, devid, vendorID, icon, icon_active,
     minversion, maxversion, cond, vallist, load, collapse) VALUES
    (1, 0, 1, '{{DI4}}', 0, '{{DI4}}', 800, '0008', 1, 20, 21, '', '', '', '',
     '41001,41021,41041,41061', ''),
    (1011, 0, 1, 'Channel 1', 1, 'Channel 1', 37, '0008', 1, 28, 28, '', '', '', '', '', ''),
    (1012, 0, 2, 'Channel 2', 1, 'Channel 2', 38, '0008', 1, 28, 28, '', '', '', '', '', ''),
    (1013, 0, 3, 'Channel 3', 1, 'Channel 3', 39, '0008', 1, 28, 28, '', '', '', '', '', ''),
    (1014, 0, 4, 'Channel 4', 1, 'Channel 4', 40, '0008', 1, 28, 28, '', '', '', '', '', ''),
    (1015, 0, 5, 'Device data', 1, 'Device data', 17, '0008', 1, 27, 27, '', '', '', '', '', ''),
    (1016, 0, 6, 'Modbus interface', 1, 'Modbus interface', 18, '0008', 1, 26, 26, '', '', '', '', '', '');

-- Channel 1 counts by default, channel 2 measures a frequency, 3 and 4 read logic levels.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT 1011 + c.n, r.sorting, r.modreg + 20 * c.n, r.regcnt, r.access, r.type,
       CASE r.sorting WHEN 1 THEN c.mode ELSE r.factory END, r.min, r.max,
       CASE r.sorting WHEN 1 THEN c.mode ELSE r.factory END, r.textID, '', r.refresh,
       CASE r.block WHEN '0' THEN '0' ELSE (41001 + 20 * c.n) || ':8' END, r.byteofs, r.label,
       r.cond, r.vallist
FROM (SELECT 0 AS n, '2' AS mode UNION ALL SELECT 1, '3' UNION ALL SELECT 2, '1'
      UNION ALL SELECT 3, '1') AS c,
     (SELECT 1 AS sorting, 41001 AS modreg, 1 AS regcnt, 3 AS access, 'SELECT_DI_MODE' AS type,
             '1' AS factory, '' AS min, '' AS max, 502 AS textID, '2' AS refresh,
             '41001:8' AS block, '0:1' AS byteofs, 'M' AS label, '' AS cond, '' AS vallist
      UNION ALL SELECT 2, 41001, 1, 3, 'SELECT_DI_EDGE', '0', '', '', 805, '', '41001:8', '1:1', '', 'M', '2'
      UNION ALL SELECT 3, 41002, 1, 3, 'UINT16', '10', '0', '1000', 808, '', '41001:8', '2:2', '', 'M', '1,2'
      UNION ALL SELECT 4, 41003, 2, 3, 'UINT32', '0', '0', '99999999', 809, '', '41001:8', '4:4', '', 'M', '2'
      UNION ALL SELECT 5, 41011, 2, 1, 'UINT32', '0', '', '', 810, '', '0', '0', '', 'M', '2'
      UNION ALL SELECT 6, 41013, 2, 1, 'FLOAT', '0', '', '', 811, '', '0', '0', '', 'M', '3') AS r
ORDER BY c.n, r.sorting;

INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT CASE pid WHEN 39 THEN 1 WHEN 1395 THEN 1015 ELSE 1016 END, sorting, modreg, regcnt,
       access, type, value, min, max, factory, textID, copyto, refresh, block, byteofs, label,
       cond, vallist
FROM mb_parameter
WHERE (pid = 39 AND sorting <= 4 AND sorting <> 3) OR pid IN (1395, 1396)
ORDER BY pid, sorting;

-- The device node has no restore command; its status row reads the input states.
UPDATE mb_parameter SET modreg = 42001, type = 'BINARY_DI_STATE', textID = 816
WHERE pid = 1 AND sorting = 4;

INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3)
SELECT '0008', 2 + c.n, m.png || CASE WHEN c.n < 2 THEN '_L' ELSE '_R' END,
       41001 + 20 * c.n, 65280, m.vlist, 0, 0, '', 0, 0, ''
FROM (SELECT 0 AS n UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3) AS c,
     (SELECT 1 AS k, 'IN4_LOGIC' AS png, '256' AS vlist UNION ALL SELECT 2, 'IN4_CNT', '512'
      UNION ALL SELECT 3, 'IN4_FRQ', '768' UNION ALL SELECT 4, 'IN4_AC', '1024') AS m
ORDER BY c.n, m.k;

INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3) VALUES
    ('0008', 0, 'DEVICE_GR', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0008', 6, 'INRAIL', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0008', 7, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0008', 8, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, '');

INSERT INTO mb_diag
    (devid, minversion, maxversion, sorting, modreg, regcnt, block, byteofs, access, type, textID,
     format, offset, factor, live) VALUES
    ('0008', '', '', 1, 41011, 2, '0', '0', 1, 'UINT32', 817, '%.0f', '', '', 'count 0 3'),
    ('0008', '', '', 2, 41033, 2, '0', '0', 1, 'FLOAT', 818, '%.1f Hz', '', '', 'sine 45 55 60'),
    ('0008', '', '', 3, 42003, 1, '0', '0', 1, 'UINT16', 44, '%.2f V', '', '0.001', 'walk 24 0.3'),
    ('0008', '', '', 4, 42001, 1, '0', '0', 1, 'BINARY_DI_STATE', 816, '%g', '', '', 'cycle 2'),
    ('0008', '', '', 5, 42002, 1, '0', '0', 1, 'BINARY_DEVERROR', 36, '%g', '', '', 'fixed');

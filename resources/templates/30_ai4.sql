-- AI4 four-channel analogue input (type code 0006) and its isolated variant AI4-I (variant 1,
-- type code 0106) with the wider bipolar ranges. Every channel owns the registers 41001 + 20 * (n - 1)
-- onwards: a block of four registers (mode, filter, decimal places, alarm limit) and its range.
-- A hidden row reads the type code into the label VAR, so rows that only the isolated variant
-- has are conditions on that label.

INSERT INTO mb_text (id, txt_de, txt_en, txt_fr) VALUES
    (500, '{{AI4}} Analogeingang 4fach', '{{AI4}} analogue input, 4 channels', 'Entrée analogique 4 voies {{AI4}}'),
    (501, '{{AI4}}-I Analogeingang 4fach, galvanisch getrennt', '{{AI4}}-I analogue input, 4 isolated channels', 'Entrée analogique 4 voies isolées {{AI4}}-I'),
    (502, 'Betriebsart', 'Mode', 'Mode'),
    (503, 'Filter', 'Filter', 'Filtre'),
    (504, 'Nachkommastellen', 'Decimal places', 'Décimales'),
    (505, 'Grenzwert', 'Alarm limit', 'Seuil d’alarme'),
    (506, 'Gerätevariante', 'Device variant', 'Variante de l’appareil'),
    (507, 'Isolationsüberwachung', 'Isolation monitoring', 'Surveillance d’isolement'),
    (510, '±10 V', '±10 V', '±10 V'),
    (511, '±20 mA', '±20 mA', '±20 mA'),
    (512, 'Kein Filter', 'No filter', 'Sans filtre'),
    (513, '0,1 s', '0.1 s', '0,1 s'),
    (514, '1 s', '1 s', '1 s'),
    (515, '10 s', '10 s', '10 s'),
    (516, 'Kanal 1 Grenzwert', 'Channel 1 limit', 'Voie 1 seuil'),
    (517, 'Kanal 2 Grenzwert', 'Channel 2 limit', 'Voie 2 seuil'),
    (518, 'Kanal 3 Grenzwert', 'Channel 3 limit', 'Voie 3 seuil'),
    (519, 'Kanal 4 Grenzwert', 'Channel 4 limit', 'Voie 4 seuil'),
    (520, 'Messwert Kanal 1', 'Channel 1 value', 'Valeur voie 1'),
    (521, 'Messwert Kanal 2', 'Channel 2 value', 'Valeur voie 2'),
    (522, 'Messwert Kanal 3', 'Channel 3 value', 'Valeur voie 3'),
    (523, 'Messwert Kanal 4', 'Channel 4 value', 'Valeur voie 4'),
    (524, 'Kanalstatus', 'Channel status', 'État des voies');

INSERT INTO mb_select (id, title, type, multiple) VALUES
    (40, 'SELECT_AI_MODE', 0, ''),
    (41, 'SELECT_AII_MODE', 0, ''),
    (42, 'SELECT_AI_FILTER', 0, ''),
    (43, 'BINARY_AI_STATUS', 1, '1');

INSERT INTO mb_option (pid, value, sorting, textID, symbol, selected) VALUES
    (40, 0, 1, 262, 25, ''),
    (40, 1, 2, 230, 22, ''),
    (40, 2, 3, 231, 22, '1'),
    (40, 3, 4, 232, 22, ''),
    (41, 0, 1, 262, 25, ''),
    (41, 1, 2, 230, 22, ''),
    (41, 2, 3, 231, 22, '1'),
    (41, 3, 4, 232, 22, ''),
    (41, 4, 5, 510, 22, ''),
    (41, 5, 6, 511, 22, ''),
    (42, 0, 1, 512, -1, ''),
    (42, 1, 2, 513, -1, '1'),
    (42, 2, 3, 514, -1, ''),
    (42, 3, 4, 515, -1, ''),
    (43, 1, 1, 516, -1, ''),
    (43, 2, 2, 517, -1, ''),
    (43, 4, 3, 518, -1, ''),
    (43, 8, 4, 519, -1, '');

INSERT INTO mb_node
    (id, pid, sorting, title, parentID, name, fullnameID, devid, vendorID, icon, icon_active,
     minversion, maxversion, cond, vallist, load, collapse) VALUES
    (34, 0, 1, '{{AI4}}', 0, '{{AI4}}', 500, '0006', 1, 20, 21, '', '', '', '',
     '41001,41021,41041,41061', ''),
    (1341, 0, 1, 'Channel 1', 34, 'Channel 1', 37, '0006', 1, 22, 22, '', '', '', '', '', ''),
    (1342, 0, 2, 'Channel 2', 34, 'Channel 2', 38, '0006', 1, 22, 22, '', '', '', '', '', ''),
    (1343, 0, 3, 'Channel 3', 34, 'Channel 3', 39, '0006', 1, 22, 22, '', '', '', '', '', ''),
    (1344, 0, 4, 'Channel 4', 34, 'Channel 4', 40, '0006', 1, 22, 22, '', '', '', '', '', ''),
    (1345, 0, 5, 'Device data', 34, 'Device data', 17, '0006', 1, 27, 27, '', '', '', '', '', ''),
    (1346, 0, 6, 'Modbus interface', 34, 'Modbus interface', 18, '0006', 1, 26, 26, '', '', '', '', '', ''),
    (42, 0, 1, '{{AI4}}-I', 0, '{{AI4}}-I', 501, '0106', 1, 20, 21, '', '', '', '',
     '41001,41021,41041,41061', ''),
    (1421, 0, 1, 'Channel 1', 42, 'Channel 1', 37, '0106', 1, 22, 22, '', '', '', '', '', ''),
    (1422, 0, 2, 'Channel 2', 42, 'Channel 2', 38, '0106', 1, 22, 22, '', '', '', '', '', ''),
    (1423, 0, 3, 'Channel 3', 42, 'Channel 3', 39, '0106', 1, 22, 22, '', '', '', '', '', ''),
    (1424, 0, 4, 'Channel 4', 42, 'Channel 4', 40, '0106', 1, 22, 22, '', '', '', '', '', ''),
    (1425, 0, 5, 'Device data', 42, 'Device data', 17, '0106', 1, 27, 27, '', '', '', '', '', ''),
    (1426, 0, 6, 'Modbus interface', 42, 'Modbus interface', 18, '0106', 1, 26, 26, '', '', '', '', '', '');

-- Channel 1 of the AI4; the other channels and the AI4-I follow from it below.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist) VALUES
    (1341, 1, 41001, 1, 3, 'SELECT_AI_MODE', '2', '', '', '2', 502, '', '2', '41001:8', '0:1', 'M', '', ''),
    (1341, 2, 41001, 1, 3, 'SELECT_AI_FILTER', '1', '', '', '1', 503, '', '', '41001:8', '1:1', '', 'M', '1,2,3,4,5'),
    (1341, 3, 41002, 1, 3, 'UINT16', '2', '0', '4', '2', 504, '', '', '41001:8', '2:2', '', 'M', '1,2,3,4,5'),
    (1341, 4, 41003, 2, 3, 'FLOAT', '100', '-10000', '10000', '100', 505, '', '', '41001:8', '4:4', '', 'M', '1,2,3,4,5'),
    (1341, 5, 41011, 2, 3, 'FLOAT', '0', '-10000', '10000', '0', 210, '', '', '0', '0', '', 'M', '1,2,3,4,5'),
    (1341, 6, 41013, 2, 3, 'FLOAT', '100', '-10000', '10000', '100', 211, '', '', '0', '0', '', 'M', '1,2,3,4,5'),
    (1341, 7, 43001, 1, 5, 'UINT16', '6', '0', '65535', '6', 506, '', '', '0', '0', 'VAR', '', ''),
    (1341, 8, 41015, 1, 3, 'SELECT_NOYES', '0', '', '', '0', 507, '', '', '0', '0', '', 'VAR', '262');

INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT 1341 + n, sorting, CASE WHEN modreg > 43000 THEN modreg ELSE modreg + 20 * n END, regcnt,
       access, type, value, min, max, factory, textID, copyto, refresh,
       CASE block WHEN '0' THEN '0' ELSE (41001 + 20 * n) || ':8' END, byteofs, label, cond, vallist
FROM mb_parameter, (SELECT 1 AS n UNION SELECT 2 UNION SELECT 3)
WHERE pid = 1341
ORDER BY n, sorting;

INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT CASE pid WHEN 39 THEN 34 WHEN 1395 THEN 1345 ELSE 1346 END, sorting, modreg, regcnt,
       access, type, value, min, max, factory, textID, copyto, refresh, block, byteofs, label,
       cond, vallist
FROM mb_parameter
WHERE (pid = 39 AND sorting <= 2) OR pid IN (1395, 1396)
ORDER BY pid, sorting;

-- The AI4-I: the same rows with the wider mode list and its own type code in VAR.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT CASE pid WHEN 34 THEN 42 ELSE pid + 80 END, sorting, modreg, regcnt, access,
       CASE type WHEN 'SELECT_AI_MODE' THEN 'SELECT_AII_MODE' ELSE type END,
       CASE label WHEN 'VAR' THEN '262' ELSE value END, min, max,
       CASE label WHEN 'VAR' THEN '262' ELSE factory END, textID, copyto, refresh, block, byteofs,
       label, cond, vallist
FROM mb_parameter
WHERE pid IN (34, 1341, 1342, 1343, 1344, 1345, 1346)
ORDER BY pid, sorting;

-- Channels 1 and 2 on the left, 3 and 4 on the right, each by its mode byte.
INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3)
SELECT d.devid, 2 + c.n, CASE m.kind WHEN 'MA' THEN 'IN4_MA' WHEN 'V' THEN 'IN4_V' ELSE 'IN4_MA-' END
       || CASE WHEN c.n < 2 THEN '_L' ELSE '_R' END,
       41001 + 20 * c.n, 65280, m.vlist, 0, 0, '', 0, 0, ''
FROM (SELECT '0006' AS devid, 1 AS wide UNION ALL SELECT '0106', 2) AS d,
     (SELECT 0 AS n UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3) AS c,
     (SELECT 'MA' AS kind, '256,512' AS vlist, 1 AS wide UNION ALL SELECT 'V', '768,1024', 1
      UNION ALL SELECT 'MA-', '1280', 2) AS m
WHERE m.wide <= d.wide
ORDER BY d.devid, c.n, m.kind;

INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3) VALUES
    ('0006', 0, 'DEVICE_GR', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0006', 6, 'INRAIL', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0006', 7, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0006', 8, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0106', 0, 'DEVICE_GR', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0106', 6, 'INRAIL', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0106', 7, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0106', 8, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, '');

-- One value per channel, the limit bits, the supply voltage in mV.
INSERT INTO mb_diag
    (devid, minversion, maxversion, sorting, modreg, regcnt, block, byteofs, access, type, textID,
     format, offset, factor, live)
SELECT d.devid, '', '', v.sorting, v.modreg, v.regcnt, '0', '0', 1, v.type, v.textID, v.format,
       v.offset, v.factor, v.live
FROM (SELECT '0006' AS devid UNION ALL SELECT '0106') AS d,
     (SELECT 1 AS sorting, 42001 AS modreg, 2 AS regcnt, 'FLOAT' AS type, 520 AS textID,
             '%.3f' AS format, '' AS offset, '' AS factor, 'sine 10 110 90' AS live
      UNION ALL SELECT 2, 42003, 2, 'FLOAT', 521, '%.3f', '', '', 'sine 20 60 150'
      UNION ALL SELECT 3, 42005, 2, 'FLOAT', 522, '%.3f', '', '', 'walk 50 5'
      UNION ALL SELECT 4, 42007, 2, 'FLOAT', 523, '%.3f', '', '', 'sine 0 100 40'
      UNION ALL SELECT 5, 42009, 1, 'UINT16', 44, '%.2f V', '', '0.001', 'walk 24 0.3'
      UNION ALL SELECT 6, 42010, 1, 'BINARY_AI_STATUS', 524, '%g', '', '', 'above 1 41003'
      UNION ALL SELECT 7, 42011, 1, 'BINARY_DEVERROR', 36, '%g', '', '', 'fixed') AS v
ORDER BY d.devid, v.sorting;

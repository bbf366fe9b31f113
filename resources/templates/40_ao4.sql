-- AO4 four-channel analogue output (type code 0007). Channel n owns the registers from
-- 41001 + 20 * (n - 1): mode, substitute value (limits by mode), ramp time.

INSERT INTO mb_text (id, txt_de, txt_en, txt_fr) VALUES
    (700, '{{AO4}} Analogausgang 4fach', '{{AO4}} analogue output, 4 channels', 'Sortie analogique 4 voies {{AO4}}'),
    (701, 'Ersatzwert (mA)', 'Substitute value (mA)', 'Valeur de repli (mA)'),
    (702, 'Ersatzwert (V)', 'Substitute value (V)', 'Valeur de repli (V)'),
    (703, 'Rampenzeit (0,1 s)', 'Ramp time (0.1 s)', 'Temps de rampe (0,1 s)'),
    (704, 'Ausgangswert Kanal 1', 'Channel 1 output', 'Sortie voie 1'),
    (705, 'Ausgangswert Kanal 2', 'Channel 2 output', 'Sortie voie 2'),
    (706, 'Ausgangswert Kanal 3', 'Channel 3 output', 'Sortie voie 3'),
    (707, 'Ausgangswert Kanal 4', 'Channel 4 output', 'Sortie voie 4'),
    (708, 'Drahtbruch Kanal 1', 'Channel 1 wire break', 'Rupture de fil voie 1'),
    (709, 'Kanalstatus', 'Channel status', 'État des voies');

INSERT INTO mb_select (id, title, type, multiple) VALUES
    (50, 'SELECT_AO_MODE', 0, ''),
    (51, 'BINARY_AO_STATUS', 1, '');

INSERT INTO mb_option (pid, value, sorting, textID, symbol, selected) VALUES
    (50, 0, 1, 262, 25, ''),
    (50, 1, 2, 230, 23, ''),
    (50, 2, 3, 231, 23, '1'),
    (50, 3, 4, 232, 23, ''),
    (51, 1, 1, 708, -1, '');

INSERT INTO mb_node
    (id, pid, sorting, title, parentID, name, fullnameID, devid, vendorID, icon, icon_active,
     minversion, maxversion, cond, vallist, load, collapse) VALUES
    (14, 0, 1, '{{AO4}}', 0, '{{AO4}}', 700, '0007', 1, 20, 21, '', '', '', '',
     '41001,41041', ''),
    (1141, 0, 1, 'Channel 1', 14, 'Channel 1', 37, '0007', 1, 23, 23, '', '', '', '', '', ''),
    (1142, 0, 2, 'Channel 2', 14, 'Channel 2', 38, '0007', 1, 23, 23, '', '', '', '', '', ''),
    (1143, 0, 3, 'Channel 3', 14, 'Channel 3', 39, '0007', 1, 23, 23, '', '', '', '', '', ''),
    (1144, 0, 4, 'Channel 4', 14, 'Channel 4', 40, '0007', 1, 23, 23, '', '', '', '', '', ''),
    (1145, 0, 5, 'Device data', 14, 'Device data', 17, '0007', 1, 27, 27, '', '', '', '', '', ''),
    (1146, 0, 6, 'Modbus interface', 14, 'Modbus interface', 18, '0007', 1, 26, 26, '', '', '', '', '', '');

INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT 1141 + c.n, r.sorting, r.modreg + 20 * c.n, r.regcnt, 3, r.type, r.factory, r.min, r.max,
       r.factory, r.textID, '', r.refresh, '0', '0', r.label, r.cond, r.vallist
FROM (SELECT 0 AS n UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3) AS c,
     (SELECT 1 AS sorting, 41001 AS modreg, 1 AS regcnt, 'SELECT_AO_MODE' AS type, '2' AS factory,
             '' AS min, '' AS max, 502 AS textID, '2' AS refresh, 'M' AS label, '' AS cond,
             '' AS vallist
      UNION ALL SELECT 2, 41002, 2, 'FLOAT', '3.5', '0', '22', 701, '', '', 'M', '1,2'
      UNION ALL SELECT 3, 41002, 2, 'FLOAT', '0', '0', '11', 702, '', '', 'M', '3'
      UNION ALL SELECT 4, 41004, 1, 'UINT16', '0', '0', '600', 703, '', '', 'M', '1,2,3') AS r
ORDER BY c.n, r.sorting;

INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT CASE pid WHEN 39 THEN 14 WHEN 1395 THEN 1145 ELSE 1146 END, sorting, modreg, regcnt,
       access, type, value, min, max, factory, textID, copyto, refresh, block, byteofs, label,
       cond, vallist
FROM mb_parameter
WHERE (pid = 39 AND sorting <= 2) OR pid IN (1395, 1396)
ORDER BY pid, sorting;

-- The outputs leave on the right: channels 1 and 2 share the upper terminal block, 3 and 4 the
-- lower one, each shown by its first channel's signal; supply and bus on the left.
INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3) VALUES
    ('0007', 0, 'DEVICE_GR', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0007', 2, 'POWER', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0007', 3, 'MODBUS', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0007', 4, 'OUT4_STROM_R', 41001, 65535, '1,2', 0, 0, '', 0, 0, ''),
    ('0007', 4, 'OUT4_SPG_R', 41001, 65535, '3', 0, 0, '', 0, 0, ''),
    ('0007', 5, 'OUT4_STROM_R', 41041, 65535, '1,2', 0, 0, '', 0, 0, ''),
    ('0007', 5, 'OUT4_SPG_R', 41041, 65535, '3', 0, 0, '', 0, 0, ''),
    ('0007', 6, 'INRAIL', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0007', 8, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, '');

INSERT INTO mb_diag
    (devid, minversion, maxversion, sorting, modreg, regcnt, block, byteofs, access, type, textID,
     format, offset, factor, live) VALUES
    ('0007', '', '', 1, 42001, 2, '0', '0', 1, 'FLOAT', 704, '%.2f mA', '', '', 'sine 2 20 60'),
    ('0007', '', '', 2, 42003, 2, '0', '0', 1, 'FLOAT', 705, '%.2f mA', '', '', 'sine 6 18 80'),
    ('0007', '', '', 3, 42005, 2, '0', '0', 1, 'FLOAT', 706, '%.2f mA', '', '', 'walk 12 0.5'),
    ('0007', '', '', 4, 42007, 2, '0', '0', 1, 'FLOAT', 707, '%.2f mA', '', '', 'walk 8 0.5'),
    ('0007', '', '', 5, 42009, 1, '0', '0', 1, 'UINT16', 44, '%.2f V', '', '0.001', 'walk 24 0.3'),
    ('0007', '', '', 6, 42010, 1, '0', '0', 1, 'BINARY_AO_STATUS', 709, '%g', '', '', 'below 1 41002'),
    ('0007', '', '', 7, 42011, 1, '0', '0', 1, 'BINARY_DEVERROR', 36, '%g', '', '', 'fixed');

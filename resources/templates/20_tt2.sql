-- TT2 temperature transmitter (type code 0002): one RTD or thermocouple input, a 4-20 mA loop
-- output. It is in no brand's add list: it enters a database only by being read from a device.
-- It offers no bus diagnostics, and device diagnostics only from firmware 0102 on.

INSERT INTO mb_text (id, txt_de, txt_en, txt_fr) VALUES
    (400, '{{TT2}} Temperaturtransmitter', '{{TT2}} temperature transmitter', 'Transmetteur de température {{TT2}}'),
    (401, 'Fühlereingang', 'Sensor input', 'Entrée capteur'),
    (402, 'Stromschleife', 'Current loop', 'Boucle de courant'),
    (403, 'Fühlerart', 'Sensor kind', 'Type de capteur'),
    (404, 'Fühlerkorrektur (0,1 K)', 'Sensor correction (0.1 K)', 'Correction du capteur (0,1 K)'),
    (405, 'Fehlerstrom', 'Error current', 'Courant de défaut'),
    (406, 'Unterhalb 3,6 mA', 'Downscale 3.6 mA', 'Vers le bas 3,6 mA'),
    (407, 'Oberhalb 21 mA', 'Upscale 21 mA', 'Vers le haut 21 mA'),
    (408, 'Temperatur', 'Temperature', 'Température'),
    (409, 'Schleifenstrom', 'Loop current', 'Courant de boucle');

INSERT INTO mb_select (id, title, type, multiple) VALUES
    (30, 'SELECT_TT_SENSOR', 0, ''),
    (31, 'SELECT_TT_ERRCUR', 0, ''),
    (32, 'BINARY_TT_STATUS', 1, '1');

INSERT INTO mb_option (pid, value, sorting, textID, symbol, selected) VALUES
    (30, 0, 1, 233, -1, '1'),
    (30, 1, 2, 234, -1, ''),
    (31, 0, 1, 406, -1, '1'),
    (31, 1, 2, 407, -1, ''),
    (32, 1, 1, 266, -1, ''),
    (32, 2, 2, 271, -1, ''),
    (32, 4, 3, 272, -1, '');

INSERT INTO mb_node
    (id, pid, sorting, title, parentID, name, fullnameID, devid, vendorID, icon, icon_active,
     minversion, maxversion, cond, vallist, load, collapse) VALUES
    (50, 0, 1, '{{TT2}}', 0, '{{TT2}}', 400, '0002', 1, 20, 21, '', '', '', '', '41001', ''),
    (1501, 0, 1, 'Sensor input', 50, 'Sensor input', 401, '0002', 1, 22, 22, '', '', '', '', '', ''),
    (1502, 0, 2, 'Current loop', 50, 'Current loop', 402, '0002', 1, 23, 23, '', '', '', '', '', ''),
    (1503, 0, 3, 'Device data', 50, 'Device data', 17, '0002', 1, 27, 27, '', '', '', '', '', ''),
    (1504, 0, 4, 'Modbus interface', 50, 'Modbus interface', 18, '0002', 1, 26, 26, '', '', '', '', '', '');

-- Address and measuring point, device data and Modbus interface as on every model.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT CASE pid WHEN 39 THEN 50 WHEN 1395 THEN 1503 ELSE 1504 END, sorting, modreg, regcnt,
       access, type, value, min, max, factory, textID, copyto, refresh, block, byteofs, label,
       cond, vallist
FROM mb_parameter
WHERE (pid = 39 AND sorting <= 2) OR pid IN (1395, 1396)
ORDER BY pid, sorting;

-- The sensor's kind decides whether the second register holds the RTD or the thermocouple type.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist) VALUES
    (1501, 1, 41001, 1, 3, 'SELECT_TT_SENSOR', '0', '', '', '0', 403, '', '2', '41001:4', '0:1', 'ST', '', ''),
    (1501, 2, 41001, 1, 3, 'SELECT_UT_WIRES', '3', '', '', '3', 207, '', '2', '41001:4', '1:1', '', 'ST', '0'),
    (1501, 3, 41002, 1, 3, 'SELECT_UT_RTD', '0', '', '', '0', 208, '', '', '41001:4', '2:2', '', 'ST', '0'),
    (1501, 4, 41002, 1, 3, 'SELECT_UT_TC', '1', '', '', '1', 209, '', '', '41001:4', '2:2', '', 'ST', '1'),
    (1501, 5, 41011, 2, 3, 'FLOAT', '0', '-200', '1800', '0', 212, '', '', '0', '0', '', '', ''),
    (1501, 6, 41013, 2, 3, 'FLOAT', '100', '-200', '1800', '100', 213, '', '', '0', '0', '', '', ''),
    (1501, 7, 41015, 1, 3, 'INT16', '0', '-100', '100', '0', 404, '', '', '0', '0', '', '', ''),
    (1501, 8, 41016, 1, 3, 'UINT16', '10', '0', '600', '10', 41, '', '', '0', '0', '', '', ''),
    (1502, 1, 41101, 1, 3, 'SELECT_TT_ERRCUR', '0', '', '', '0', 405, '', '', '0', '0', '', '', '');

INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3) VALUES
    ('0002', 0, 'DEVICE_GR', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0002', 1, 'IN1_RTD2_L', 41001, 65280, '0', 41001, 255, '2', 0, 0, ''),
    ('0002', 1, 'IN1_RTD3_L', 41001, 65280, '0', 41001, 255, '3', 0, 0, ''),
    ('0002', 1, 'IN1_RTD4_L', 41001, 65280, '0', 41001, 255, '4', 0, 0, ''),
    ('0002', 1, 'IN1_TC_L', 41001, 65280, '256', 0, 0, '', 0, 0, ''),
    ('0002', 4, 'OUT4_STROM_R', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0002', 6, 'MODBUS', 0, 0, '', 0, 0, '', 0, 0, '');

-- Firmware before 0102 has no diagnostic registers.
INSERT INTO mb_diag
    (devid, minversion, maxversion, sorting, modreg, regcnt, block, byteofs, access, type, textID,
     format, offset, factor, live) VALUES
    ('0002', '0102', '', 1, 42001, 2, '0', '0', 1, 'FLOAT', 408, '%.2f °C', '', '', 'sine -5 105 300'),
    ('0002', '0102', '', 2, 42003, 2, '0', '0', 1, 'FLOAT', 409, '%.2f mA', '', '', 'sine 7.2 16.8 300'),
    ('0002', '0102', '', 3, 42005, 1, '0', '0', 1, 'INT16', 19, '%.1f °C', '-2732', '0.1', 'walk 30 1'),
    ('0002', '0102', '', 4, 42006, 1, '0', '0', 1, 'BINARY_TT_STATUS', 13, '%g', '', '',
     'above 2 41013;below 4 41011'),
    ('0002', '0102', '', 5, 42007, 1, '0', '0', 1, 'BINARY_DEVERROR', 36, '%g', '', '', 'fixed');

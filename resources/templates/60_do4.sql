-- DO4 four-channel output (type code 0009): relay or transistor per channel, switching, pulse,
-- frequency or PWM. Channel n owns the registers from 41001 + 20 * (n - 1): a block of four
-- registers (mode, output kind, pulse width, frequency) and the duty cycle and safe state.

INSERT INTO mb_text (id, txt_de, txt_en, txt_fr) VALUES
    (900, '{{DO4}} Ausgang 4fach', '{{DO4}} output, 4 channels', 'Sortie 4 voies {{DO4}}'),
    (901, 'Schalten', 'Switch', 'Commutation'),
    (902, 'Impuls', 'Pulse', 'Impulsion'),
    (903, 'PWM', 'PWM', 'MLI'),
    (904, 'Ausgangsart', 'Output kind', 'Type de sortie'),
    (905, 'Relais', 'Relay', 'Relais'),
    (906, 'Transistor', 'Transistor', 'Transistor'),
    (907, 'Impulsbreite (ms)', 'Pulse width (ms)', 'Largeur d’impulsion (ms)'),
    (908, 'Frequenz (Hz)', 'Frequency (Hz)', 'Fréquence (Hz)'),
    (909, 'Tastverhältnis (%)', 'Duty cycle (%)', 'Rapport cyclique (%)'),
    (910, 'Sicherer Zustand ein', 'Safe state on', 'État de repli actif'),
    (911, 'Ausgang 1 ein', 'Output 1 on', 'Sortie 1 active'),
    (912, 'Ausgang 2 ein', 'Output 2 on', 'Sortie 2 active'),
    (913, 'Ausgang 3 ein', 'Output 3 on', 'Sortie 3 active'),
    (914, 'Ausgang 4 ein', 'Output 4 on', 'Sortie 4 active'),
    (915, 'Ausgänge', 'Outputs', 'Sorties'),
    (916, 'Schaltspiele Kanal 1', 'Channel 1 switching cycles', 'Cycles de commutation voie 1');

INSERT INTO mb_select (id, title, type, multiple) VALUES
    (70, 'SELECT_DO_MODE', 0, ''),
    (71, 'SELECT_DO_KIND', 0, ''),
    (72, 'BINARY_DO_STATE', 1, '1');

INSERT INTO mb_option (pid, value, sorting, textID, symbol, selected) VALUES
    (70, 0, 1, 262, 25, ''),
    (70, 1, 2, 901, 29, '1'),
    (70, 2, 3, 902, 29, ''),
    (70, 3, 4, 803, 29, ''),
    (70, 4, 5, 903, 29, ''),
    (71, 0, 1, 905, 24, '1'),
    (71, 1, 2, 906, 29, ''),
    (72, 1, 1, 911, -1, ''),
    (72, 2, 2, 912, -1, ''),
    (72, 4, 3, 913, -1, ''),
    (72, 8, 4, 914, -1, '');

INSERT INTO mb_node
    (id, pid, sorting, title, parentID, name, fullnameID, devid, vendorID, icon, icon_active,
     minversion, maxversion, cond, vallist, load, collapse) VALUES
    (8, 0, 1, '{{DO4}}', 0, '{{DO4}}', 900, '0009', 1, 20, 21, '', '', '', '',
     '41001,41021,41041,41061', ''),
    (1081, 0, 1, 'Channel 1', 8, 'Channel 1', 37, '0009', 1, 29, 29, '', '', '', '', '', ''),
    (1082, 0, 2, 'Channel 2', 8, 'Channel 2', 38, '0009', 1, 29, 29, '', '', '', '', '', ''),
    (1083, 0, 3, 'Channel 3', 8, 'Channel 3', 39, '0009', 1, 29, 29, '', '', '', '', '', ''),
    (1084, 0, 4, 'Channel 4', 8, 'Channel 4', 40, '0009', 1, 29, 29, '', '', '', '', '', ''),
    (1085, 0, 5, 'Device data', 8, 'Device data', 17, '0009', 1, 27, 27, '', '', '', '', '', ''),
    (1086, 0, 6, 'Modbus interface', 8, 'Modbus interface', 18, '0009', 1, 26, 26, '', '', '', '', '', '');

-- Channels 1 and 2 are relays, 3 and 4 transistors.
INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT 1081 + c.n, r.sorting, r.modreg + 20 * c.n, r.regcnt, 3, r.type,
       CASE r.sorting WHEN 2 THEN c.kind ELSE r.factory END, r.min, r.max,
       CASE r.sorting WHEN 2 THEN c.kind ELSE r.factory END, r.textID, '', r.refresh,
       CASE r.block WHEN '0' THEN '0' ELSE (41001 + 20 * c.n) || ':8' END, r.byteofs, r.label,
       r.cond, r.vallist
FROM (SELECT 0 AS n, '0' AS kind UNION ALL SELECT 1, '0' UNION ALL SELECT 2, '1'
      UNION ALL SELECT 3, '1') AS c,
     (SELECT 1 AS sorting, 41001 AS modreg, 1 AS regcnt, 'SELECT_DO_MODE' AS type,
             '1' AS factory, '' AS min, '' AS max, 502 AS textID, '2' AS refresh,
             '41001:8' AS block, '0:1' AS byteofs, 'M' AS label, '' AS cond, '' AS vallist
      UNION ALL SELECT 2, 41001, 1, 'SELECT_DO_KIND', '0', '', '', 904, '2', '41001:8', '1:1', '', '', ''
      UNION ALL SELECT 3, 41002, 1, 'UINT16', '100', '1', '60000', 907, '', '41001:8', '2:2', '', 'M', '2'
      UNION ALL SELECT 4, 41003, 2, 'FLOAT', '10', '0.1', '5000', 908, '', '41001:8', '4:4', '', 'M', '3,4'
      UNION ALL SELECT 5, 41011, 1, 'UINT16', '50', '0', '100', 909, '', '0', '0', '', 'M', '4'
      UNION ALL SELECT 6, 41012, 1, 'SELECT_NOYES', '0', '', '', 910, '', '0', '0', '', 'M', '1,2,3,4') AS r
ORDER BY c.n, r.sorting;

INSERT INTO mb_parameter
    (pid, sorting, modreg, regcnt, access, type, value, min, max, factory, textID, copyto,
     refresh, block, byteofs, label, cond, vallist)
SELECT CASE pid WHEN 39 THEN 8 WHEN 1395 THEN 1085 ELSE 1086 END, sorting, modreg, regcnt,
       access, type, value, min, max, factory, textID, copyto, refresh, block, byteofs, label,
       cond, vallist
FROM mb_parameter
WHERE (pid = 39 AND sorting <> 3) OR pid IN (1395, 1396)
ORDER BY pid, sorting;

UPDATE mb_parameter SET modreg = 42001, type = 'BINARY_DO_STATE', textID = 915
WHERE pid = 8 AND sorting = 4;

-- A switching channel shows its relay or transistor, the other modes their signal.
INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3)
SELECT '0009', 2 + c.n, m.png || CASE WHEN c.n < 2 THEN '_L' ELSE '_R' END,
       41001 + 20 * c.n, 65280, m.vlist, 41001 + 20 * c.n, 255, m.kinds, 0, 0, ''
FROM (SELECT 0 AS n UNION ALL SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3) AS c,
     (SELECT 1 AS k, 'OUT4_RELAY' AS png, '256' AS vlist, '0' AS kinds
      UNION ALL SELECT 2, 'OUT4_SCHALT', '256', '1'
      UNION ALL SELECT 3, 'OUT4_PULSE', '512', '0,1'
      UNION ALL SELECT 4, 'OUT4_FRQ', '768', '0,1'
      UNION ALL SELECT 5, 'OUT4_PWM', '1024', '0,1') AS m
ORDER BY c.n, m.k;

INSERT INTO mb_png
    (devid, pos, png, modreg1, mask1, vlist1, modreg2, mask2, vlist2, modreg3, mask3, vlist3) VALUES
    ('0009', 0, 'DEVICE_GR', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0009', 6, 'INRAIL', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0009', 7, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, ''),
    ('0009', 8, 'TRENNLINIE', 0, 0, '', 0, 0, '', 0, 0, '');

INSERT INTO mb_diag
    (devid, minversion, maxversion, sorting, modreg, regcnt, block, byteofs, access, type, textID,
     format, offset, factor, live) VALUES
    ('0009', '', '', 1, 42004, 2, '0', '0', 1, 'UINT32', 916, '%.0f', '', '', 'count 5000 0.5'),
    ('0009', '', '', 2, 42003, 1, '0', '0', 1, 'UINT16', 44, '%.2f V', '', '0.001', 'walk 24 0.3'),
    ('0009', '', '', 3, 42001, 1, '0', '0', 1, 'BINARY_DO_STATE', 915, '%g', '', '', 'cycle 3'),
    ('0009', '', '', 4, 42002, 1, '0', '0', 1, 'BINARY_DEVERROR', 36, '%g', '', '', 'fixed');

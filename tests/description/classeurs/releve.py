#!/usr/bin/python3
# Writes releve.xls, the small BIFF8 workbook of classeur_test (Debian's python3-xlwt).
import datetime

import xlwt

wb = xlwt.Workbook(encoding='utf-8')
ws = wb.add_sheet('Relevé')
dt = xlwt.easyxf(num_format_str='dd/mm/yyyy hh:mm:ss')
d = xlwt.easyxf(num_format_str='dd/mm/yyyy')
t = xlwt.easyxf(num_format_str='hh:mm:ss')
ws.write(0, 0, 'date'); ws.write(0, 1, 'niveau;m'); ws.write(0, 3, 'état')
ws.write(1, 0, datetime.datetime(2023, 12, 25, 8, 5, 0), dt); ws.write(1, 1, 1.5)
ws.write(1, 2, True); ws.write(1, 3, 42)
ws.write(2, 0, datetime.date(2023, 12, 26), d); ws.write(2, 1, -0.25)
ws.write(3, 0, datetime.time(23, 59, 59), t); ws.write(3, 3, 'fin')
wb.add_sheet('Seconde').write(0, 0, 'deux')
wb.save('releve.xls')

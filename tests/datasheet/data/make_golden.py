#!/usr/bin/env python3
# Writes golden.kvd: a data sheet with items of every kind, laid out field by
# field as the data sheet file format gives it. Kept with the test so the file
# can be checked and made again by hand.
T, F = '#TRUE#', '#FALSE#'
L = []
def t(s): L.append('"%s"' % s)
def v(x): L.append(str(x))
def f(b): L.append(T if b else F)

t('Karvo Technologies,Inc. QM4100D Data Sheet')
t('Bench sheet')
for n in (2, 2, 1, 1, 2): v(n)  # wave, measure, data, record, memory

# Waveform 0: holds CH2 rows only.
t('Wave0'); f(1); t('EDGE'); v(600); f(0); f(1); f(0); v(3); v(-4)
for s in ('1.00V', '-2.00V', '500mV', '1.00V', '1.000ms', '0.000s', 'a1', 'a2', 'a3', 'a4', '2026-12-09'): t(s)
v(2); f(1); f(1); f(0); f(1)
f(1)  # logic channels present when saved
f(0); f(1); f(0); f(0)  # Show
f(0); f(1); f(0); f(0)  # Draw
for x in (1, 299, 3, 4, 5, 6): v(x)
for x in (0, 1, 1, 0, 3): v(x)
v('1.5'); v(-25); v('0.2'); v(7)
for x in (1, 0, 9, 1, 1): v(x)
v('1E-06'); v(11); v(10); v('2.5'); v(12); v('12500'); v(4); v('-0.75'); v(150)
v(1); v(-1)
for i in range(16): v(30 + 10 * i)
v(5); v(8); v(9)
f(0); t('OFF'); t('OFF')
for i in range(1, 1025): v(i % 200)
# Waveform 1: no data, a Chinese name.
t('波形1'); f(0); t(''); v(0); f(0); f(0); f(0); v(0); v(0)
for i in range(11): t('')
v(0); f(0); f(0); f(0); f(0)
f(1)
for i in range(8): f(0)
for i in range(50): v(0)
f(0); t(''); t('')

# Measure 0 with data, measure 1 without.
t('Measure0'); f(1); t('CH1 1.00V 1.000ms 1.00MSa Size=600 [Date:2026-12-09]')
def num(x):
    s = repr(float(x))
    return s[:-2] if s.endswith('.0') else s
for k in range(18):
    t('v%d' % k); f(k % 2 == 0); v(num(k + 0.5)); v(num(k * 0.25))
t('Measure1'); f(0); t('')

# Data table with two rows and the spare row 0.
t('Data0'); f(1); t('CH1 info'); v(2)
for val, tim in (('', ''), ('1.00E-01', '0.00E-00'), ('2.00E-01', '1.00E-03')): t(val); t(tim)

# Record with one replayed frame.
t('Record0'); f(1); f(1); f(1); t('/tmp/rec.rcd'); t('CH1'); f(0); v(1); v(1)
v(1); v(1); f(1)
for s in ('1.000ms', '0.000s', '1.00V', '0.00V'): t(s)
v('0.05')
for i in range(1024): v(i % 200)

# Memory waveform 0: normal trigger, 3 points of CH1 and LA interleaved.
t('Memory Wave0'); t('/tmp/w.wfm'); f(1); t('EDGE'); v(600); f(1)
floats = ('0.5', '-0.5', '1', '2', '0.1', '0.2')
for x in floats: v(x)
v(25); v(-50)
v('1000000'); v(0); v(0)
times = ('0.001', '0', '0', '0', '0.0005', '1E-05', '0', '0', '0', '0')
for x in times: v(x)
f(1); f(1); f(0); f(0)
f(1); f(0); f(0); f(1); f(0); f(0); f(0); f(0); f(0)
v(1); v(0); v(1); v(255)
rows = [25 + 10 * i for i in range(16)]
for x in rows: v(x)
v(2); v(8); v(8)
f(0); t(''); t('OFF')
v(3); v(0); v(0)
for x in floats: v(x)
v(25); v(-50)
for x in times: v(x)
for x in rows: v(x)
v(2)
for a, b in ((10, 100), (11, 101), (12, 102)): v(a); v(b)

# Memory waveform 1: alternate trigger, 2 CH1 and 3 CH2 samples in blocks.
t('Memory Wave1'); t('/tmp/alt.wfm'); f(1); t('ALTERNATION'); v(0); f(0)
for i in range(6): v(0)
v(0); v(0)
for i in range(3): v(0)
for i in range(10): v(0)
for i in range(13): f(0)
for i in range(3): v(0)
v(0)
for i in range(16): v(0)
for i in range(3): v(0)
f(0); t(''); t('')
v(0); v(2); v(3)
for i in range(35): v(0)
for x in (-1, -2, 7, 8, 9): v(x)

open('golden.kvd', 'wb').write(('\r\n'.join(L) + '\r\n').encode('utf-8'))

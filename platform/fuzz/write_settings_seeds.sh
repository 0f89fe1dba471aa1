#!/usr/bin/env bash
# Writes settings files into OUTDIR as seeds for the settings fuzz targets: a whole session as
# the program leaves it, and the hand-edited and foreign forms a reader must survive.
set -euo pipefail
out=${1:?usage: write_settings_seeds.sh OUTDIR}
mkdir -p "$out"

cat >"$out/session.ini" <<'INI'
[General]
RootDir=/opt/logosmith/

[history]
n1=a.bmp
n2=b.bmp
n3=c.bmp
n4=
n5=
n6=
n7=
n8=
n9=
n10=
s1=115254
s2=4102
s3=99
s4=
s5=
s6=
s7=
s8=
s9=
s10=

[main]
FormVersion=0
Flags=0
ShowCmd=1
PixelsPerInch=96
MinMaxPos(800x600)=-1,-1,-1,-1
MinMaxPos=-1,-1,-1,-1
NormPos(800x600)=59,20,659,520
NormPos=59,20,659,520
ActiveControl=Edit1
Visible=1
Edit1_Text=logo
CheckBox1_Checked=True
ScrollBar1_Value=100
DirectPrint_Checked=True
DriverPrinter_Checked=False

[nport]
0=2
1=3
2=2
3=0
4=1
5=1

[resol]
index=2

[devices]
LPT1=/dev/lp0
COM1=/dev/ttyUSB0
com2=/dev/pts/3
INI

cat >"$out/hand-edited.ini" <<'INI'
[history]
n1=../outside.bmp
n2=tempImage.bmp
n3= a.bmp
n4=A.BMP
n5=a.bmp
s5=not a number
n7=/etc/passwd
[main]
ShowCmd=3
NormPos=-32000,-32000,-31000,-31500
PixelsPerInch=abc
ActiveControl=Missing
CheckBox1_Checked=yes
ScrollBar1_Value=99999999999
Edit1_Text="quoted, with comma"
[nport]
0=-1
1=  7
2=2147483648
3=0x10
4=
5=1,2
[devices]
LPT1=
LPT3=/dev/null
COM4=relative/path
INI

cat >"$out/foreign.ini" <<'INI'
[history]
n1=@Variant(\0\0\0\n\0\0\0\x6\0\x61\0.\0\x62\0m\0p)
n2=b.bmp, c.bmp
n3=@ByteArray(c.bmp)
n4="\x43.bmp"
[main]
NormPos=@Rect(0 0 100 100)
NormPos(800x600)=1,2
[nport]
0=@Variant(\0\0\0\x2\0\0\0\x1)
1=true
[devices]
%4C%50%54%31=/dev/lp1
COM1=@Invalid()
INI
printf '[history]\nn1=\xff\xfe.bmp\nn2=caf\xc3\xa9.bmp\n[main]\nEdit1_Text=\x01\x02 text \x7f\n' >"$out/bytes.ini"
: >"$out/empty.ini"

#!/bin/sh
# Gives the Wine prefix in WINEPREFIX the fonts of the pictures docs/*.png,
# so that the dialogs look as there. wine-test.sh runs it once, when it
# makes a prefix with VARIO_FONTS=1: the prefix of make run and that of
# tools/screenshots.sh. The tests' prefixes keep Wine's own fonts, with
# which the tests measure the dialogs.
#
# The dialogs ask for "ＭＳ Ｐゴシック" and the title bar for "MS UI Gothic";
# both are drawn with the proportional IPA P Gothic, whose metrics are close
# to theirs.
for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
done

# Wine draws the title bar's close box with a glyph of its Marlett font. This
# Wine looks for its own fonts in a folder it cannot open (/usr/share/wine
# "../fonts" spelled with a slash), so without this copy in the prefix's
# font folder the glyph's letter "r" is drawn instead.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

#include "platform/visa/rsrcexpr.h"

#include <QtTest>

// VISA resource expressions: '*' and '+' repeat the preceding item (they are
// not wildcards by themselves), '?' is any one character, '|' has the lowest
// precedence, and the whole name must match, without regard to case.
class TestVisaExpr : public QObject {
    Q_OBJECT
private slots:
    void matching_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("match");

        const QString usb = QStringLiteral("USB0::0xFFFF::0x4100::SN000001::INSTR");
        QTest::newRow("any instr: usb") << "?*INSTR" << usb << true;
        QTest::newRow("any instr: serial") << "?*INSTR" << "ASRL1::INSTR" << true;
        QTest::newRow("any instr: raw is not") << "?*INSTR" << "USB0::0xFFFF::0x4100::SN1::RAW" << false;
        QTest::newRow("connect search: usb0") << "(USB0|ASRL)?*INSTR" << usb << true;
        QTest::newRow("connect search: asrl") << "(USB0|ASRL)?*INSTR" << "ASRL12::INSTR" << true;
        QTest::newRow("connect search: asrl path") << "(USB0|ASRL)?*INSTR" << "ASRL/dev/ttyUSB0::INSTR" << true;
        QTest::newRow("connect search: usb1 is not") << "(USB0|ASRL)?*INSTR"
                                                     << "USB1::0x1::0x2::S::INSTR" << false;
        QTest::newRow("connect search: gpib is not") << "(USB0|ASRL)?*INSTR" << "GPIB0::7::INSTR" << false;
        QTest::newRow("options search: usb") << "USB?*INSTR" << usb << true;
        QTest::newRow("options search: serial is not") << "USB?*INSTR" << "ASRL1::INSTR" << false;
        QTest::newRow("case does not matter") << "USB?*INSTR" << "usb0::0x1::0x2::s::instr" << true;
        QTest::newRow("case of expression") << "usb?*instr" << usb << true;
        QTest::newRow("whole name: prefix alone") << "USB" << usb << false;
        QTest::newRow("whole name: no trailing") << "?*INSTR" << "ASRL1::INSTRX" << false;
        QTest::newRow("star repeats B") << "USB*" << "USBBB" << true;
        QTest::newRow("star repeats B, none") << "USB*" << "US" << true;
        QTest::newRow("star is no wildcard") << "USB*" << usb << false;
        QTest::newRow("plus needs one") << "ASRL[0-9]+::INSTR" << "ASRL::INSTR" << false;
        QTest::newRow("star takes none") << "ASRL[0-9]*::INSTR" << "ASRL::INSTR" << true;
        QTest::newRow("range several") << "ASRL[0-9]+::INSTR" << "ASRL123::INSTR" << true;
        QTest::newRow("range excludes letters") << "ASRL[0-9]+::INSTR" << "ASRLa::INSTR" << false;
        QTest::newRow("list") << "ASRL[135]::INSTR" << "ASRL3::INSTR" << true;
        QTest::newRow("list miss") << "ASRL[135]::INSTR" << "ASRL2::INSTR" << false;
        QTest::newRow("negated list") << "ASRL[^2]::INSTR" << "ASRL3::INSTR" << true;
        QTest::newRow("negated list miss") << "ASRL[^2]::INSTR" << "ASRL2::INSTR" << false;
        QTest::newRow("dash last is literal") << "A[x-]B" << "A-B" << true;
        QTest::newRow("question is one char") << "ASRL?::INSTR" << "ASRL10::INSTR" << false;
        QTest::newRow("escaped question") << "ASRL\\?::INSTR" << "ASRL?::INSTR" << true;
        QTest::newRow("escaped question is literal") << "ASRL\\?::INSTR" << "ASRL1::INSTR" << false;
        QTest::newRow("escaped star") << "A\\*" << "A*" << true;
        QTest::newRow("dot is literal") << "A.B" << "AxB" << false;
        QTest::newRow("dot matches dot") << "A.B" << "A.B" << true;
        QTest::newRow("alternation lowest: left whole") << "USB0|ASRL?*INSTR" << "USB0" << true;
        QTest::newRow("alternation lowest: left not prefix") << "USB0|ASRL?*INSTR" << usb << false;
        QTest::newRow("alternation lowest: right") << "USB0|ASRL?*INSTR" << "ASRL2::INSTR" << true;
        QTest::newRow("group repeated") << "(AB)+C" << "ABABC" << true;
        QTest::newRow("group repeated miss") << "(AB)+C" << "ABAC" << false;
        QTest::newRow("nesting within bounds") << QString(30, QLatin1Char('(')) + "A" + QString(30, QLatin1Char(')'))
                                               << "a" << true;
        QTest::newRow("nested groups") << "((USB|GPIB)0|ASRL1)::?*" << "GPIB0::7::INSTR" << true;
        QTest::newRow("regex specials are literal") << "A^$B" << "A^$B" << true;
    }
    void matching()
    {
        QFETCH(QString, expr);
        QFETCH(QString, name);
        QFETCH(bool, match);
        const VisaExpression e(expr);
        QVERIFY2(e.isValid(), qPrintable(expr));
        QCOMPARE(e.matches(name), match);
    }

    void malformed_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::newRow("empty") << "";
        QTest::newRow("leading star") << "*INSTR";
        QTest::newRow("leading plus") << "+INSTR";
        QTest::newRow("star after bar") << "USB|*";
        QTest::newRow("star after open") << "(*A)";
        QTest::newRow("unclosed group") << "(USB0|ASRL?*INSTR";
        QTest::newRow("unopened group") << "USB0)?*";
        QTest::newRow("empty group") << "()A";
        QTest::newRow("empty alternative") << "USB||ASRL";
        QTest::newRow("trailing bar") << "USB|";
        QTest::newRow("unclosed list") << "ASRL[0-9";
        QTest::newRow("empty list") << "A[]B";
        QTest::newRow("backwards range") << "[z-a]";
        QTest::newRow("trailing backslash") << "ASRL\\";
        QTest::newRow("attribute condition") << "?*INSTR{VI_ATTR_MANF_ID==0x1AB1}";
        QTest::newRow("stray close bracket") << "A]";
        QTest::newRow("nesting too deep") << QString(100000, QLatin1Char('(')) + "A" + QString(100000, QLatin1Char(')'));
    }
    void malformed()
    {
        QFETCH(QString, expr);
        const VisaExpression e(expr);
        QVERIFY(!e.isValid());
        QVERIFY(!e.matches(QStringLiteral("ASRL1::INSTR")));
        QVERIFY(!e.matches(QString()));
    }
};

QTEST_GUILESS_MAIN(TestVisaExpr)
#include "tst_visaexpr.moc"

#include "app/appstate.h"
#include "common/defaultwords.h"
#include "controller/ctrltree.h"
#include "controller/ctrltreenodefunc.h"
#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "texts/loadlanguage.h"

#include <QtTest>

#include <functional>

// The controller tree: its shape from the settings (order, texts, pictures,
// ids) for the defaults in both languages, every trigger method and alternate
// type, the digital-source rule; the tree control made from it; rebuilds.
class TestCtrlTree : public QObject {
    Q_OBJECT

    static QString u(const char *s) { return QString::fromUtf8(s); }
    static CtrlSettings &S() { return app().Settings; }

    static void useLanguage(int lang)
    {
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
    }

    static QString idText(CtrlNodeId id)
    {
        return id.valid() ? QStringLiteral("(%1,%2)").arg(id.group).arg(id.item) : QStringLiteral("-");
    }

    // One line per node, depth first in screen order: indent by depth, id,
    // text, picture.
    static QStringList dump(const std::vector<CtrlNodeSpec> &nodes, int from = 0)
    {
        std::vector<std::vector<int>> children(nodes.size());
        for (size_t k = 0; k < nodes.size(); ++k)
            if (nodes[k].parent >= 0)
                children[size_t(nodes[k].parent)].push_back(int(k));
        QStringList out;
        std::function<void(int, int)> walk = [&](int k, int d) {
            const CtrlNodeSpec &n = nodes[size_t(k)];
            out << QString(d, u' ') + idText(n.id) + u' ' + n.text + QStringLiteral(" #") + QString::number(n.picture);
            for (int c : children[size_t(k)])
                walk(c, d + 1);
        };
        if (!nodes.empty())
            walk(from, 0);
        return out;
    }

    // The lines of the subtree under the node with id.
    static QStringList dumpUnder(const std::vector<CtrlNodeSpec> &nodes, CtrlNodeId id)
    {
        for (size_t k = 0; k < nodes.size(); ++k)
            if (nodes[k].id == id)
                return dump(nodes, int(k));
        return {};
    }

    static QStringList layoutDump(bool la = true) { return dump(CtrlTreeLayout(S(), la)); }

    // The tree control's nodes the same way, ids from the id table.
    static QStringList widgetDump(CtrlTreeView *tree)
    {
        QHash<const QTreeWidgetItem *, QString> ids;
        for (int g = 0; g < CtrlTreeIdRange; ++g)
            for (int i = 0; i < CtrlTreeIdRange; ++i)
                if (const QTreeWidgetItem *n = tree->node(g, i))
                    ids[n] = idText({g, i});
        QStringList out;
        std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *n, int d) {
            out << QString(d, u' ') + ids.value(n, QStringLiteral("-")) + u' ' + n->text(0) + QStringLiteral(" #")
                       + QString::number(n->data(0, CtrlTreeView::PictureRole).toInt());
            for (int c = 0; c < n->childCount(); ++c)
                walk(n->child(c), d + 1);
        };
        for (int t = 0; t < tree->topLevelItemCount(); ++t)
            walk(tree->topLevelItem(t), 0);
        return out;
    }

    // Expected default tree, built from its label and word texts.
    struct T {
        const char *en;
        const char *zh;
    };
    static QStringList defaultTree(int lang)
    {
        auto t = [lang](T x) { return QString::fromUtf8(lang == LanguageEnglish ? x.en : x.zh); };
        const QString OFF = t({"OFF", "关闭"}), ON = t({"ON", "打开"});
        QStringList e;
        auto n = [&e](int depth, const char *id, const QString &text, int pic) {
            e << QString(depth, u' ') + QLatin1String(id) + u' ' + text + QStringLiteral(" #") + QString::number(pic);
        };
        auto s = [&](int depth, const char *id, T label, const QString &value, int pic = 3) {
            n(depth, id, t(label) + QStringLiteral(" [") + value + u']', pic);
        };
        n(0, "-", QStringLiteral("QM4100D"), 1);
        n(1, "(1,0)", t({"Running Control", "运行控制"}), 2);
        s(2, "(1,2)", {"Run|Stop", "运行|停止"}, t({"RUN", "运行"}));
        n(2, "(1,3)", t({"Auto Set", "自动设置"}), 4);
        n(2, "(1,4)", t({"Set Trig to 50%", "触发电平至50%"}), 4);
        n(2, "(1,5)", t({"Force Trigger", "强制触发"}), 4);
        for (int ch = 2; ch <= 3; ++ch) {
            const QByteArray g = QByteArray::number(ch);
            n(1, "(" + g + ",0)", ch == 2 ? QStringLiteral("CH1") : QStringLiteral("CH2"), 2);
            s(2, "(" + g + ",2)", {"Display", "显示"}, ch == 2 ? ON : OFF);
            s(2, "(" + g + ",3)", {"Volt/Div", "档位"}, QStringLiteral("1.00V"));
            s(2, "(" + g + ",4)", {"Offset", "偏移"}, QStringLiteral("0.00mV"));
            s(2, "(" + g + ",5)", {"Coupling", "耦合"}, t({"AC", "交流"}));
            s(2, "(" + g + ",6)", {"BW Limit", "带宽限制"}, OFF);
            s(2, "(" + g + ",7)", {"Probe", "探头"}, QStringLiteral("1X"));
        }
        n(1, "(4,0)", QStringLiteral("LA"), 2);
        s(2, "(4,9)", {"Display", "显示"}, OFF);
        n(2, "(4,14)", t({"Channel", "通道设置"}), 3);
        s(3, "(14,2)", {"D15-D8", "D15-D8"}, OFF, 8);
        s(3, "(14,3)", {"D7-D0", "D7-D0"}, OFF, 8);
        for (int ch = 15; ch >= 0; --ch)
            n(3, QStringLiteral("(14,%1)").arg(20 - ch).toLatin1(), QStringLiteral("D%1 [").arg(ch) + OFF + u']', 8);
        n(2, "(4,10)", t({"Position", "位置"}), 3);
        for (int ch = 15; ch >= 0; --ch)
            n(3, QStringLiteral("(10,%1)").arg(20 - ch).toLatin1(), QStringLiteral("D%1 [0]").arg(ch), 8);
        s(2, "(4,11)", {"Threshold", "门限类型"}, QStringLiteral("TTL"));
        n(2, "(4,13)", t({"Size", "波形大小"}), 3);
        s(3, "(13,2)", {"D15-D8", "D15-D8"}, t({"BIG", "大"}), 8);
        s(3, "(13,3)", {"D7-D0", "D7-D0"}, t({"BIG", "大"}), 8);
        n(2, "(4,12)", t({"Reset", "复位"}), 4);
        n(1, "(5,0)", t({"Time Base", "水平系统"}), 2);
        s(2, "(5,15)", {"Time/Div", "时基"}, QStringLiteral("10.00us"));
        s(2, "(5,16)", {"Delay", "位移"}, QStringLiteral("0.0000s"));
        s(2, "(5,18)", {"Format", "模式"}, QStringLiteral("Y-T"));
        n(1, "(6,0)", t({"Trigger", "触发系统"}), 2);
        s(2, "(6,2)", {"Method", "触发模式"}, t({"EDGE", "边沿触发"}));
        s(2, "(6,4)", {"Slope", "边沿类型"}, t({"RISING", "上升沿"}));
        s(2, "(6,3)", {"Source", "信源选择"}, QStringLiteral("CH1"));
        s(2, "(6,5)", {"Mode", "触发方式"}, t({"AUTO", "自动"}));
        s(2, "(6,6)", {"Coupling", "耦合"}, t({"DC", "直流"}));
        s(2, "(6,7)", {"Level", "触发电平"}, QStringLiteral("0.00div"));
        s(2, "(6,8)", {"Sensitivity", "触发灵敏度"}, QStringLiteral("0.10div"));
        s(2, "(6,9)", {"Holdoff", "触发释抑"}, QStringLiteral("100ns"));
        n(1, "(7,0)", t({"Acquire", "采样系统"}), 2);
        s(2, "(7,2)", {"Acquisition", "获取方式"}, t({"NORMAL", "普通"}));
        s(2, "(7,3)", {"Sampling Mode", "采样方式"}, t({"REAL_TIME", "实时采样"}));
        n(1, "(8,0)", t({"Display", "显示系统"}), 2);
        s(2, "(8,2)", {"Type", "显示类型"}, t({"VECTORS", "矢量"}));
        s(2, "(8,3)", {"Persist", "波形保持"}, OFF);
        n(2, "(8,4)", t({"Clear", "清除显示"}), 3);
        s(2, "(8,5)", {"Grid", "网格"}, t({"FULL", "完全"}));
        n(1, "-", t({"Virtual Panel", "虚拟面板"}), 6);
        return e;
    }

    // Lines of a trigger subtree: "(g,i) text", picture 3 unless given.
    static QString L(int depth, int g, int i, const QString &text, int pic = 3)
    {
        return QString(depth, u' ') + QStringLiteral("(%1,%2) ").arg(g).arg(i) + text + QStringLiteral(" #")
               + QString::number(pic);
    }
    static QStringList codes(const CtrlSettings::LAArray &values)
    {
        QStringList e{L(0, 6, 21, QStringLiteral("Code"))};
        for (int n = 1; n <= 16; ++n)
            e << L(1, 21, n + 4, QStringLiteral("D%1 [").arg(16 - n) + values[n] + u']');
        return e;
    }

    // Each alternate member holds "<channel>:<member name>", so a node shows
    // which member it reads.
    static void markAlternateMembers()
    {
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            const QString name = QString::fromLatin1(f.name);
            if (!f.text || !name.startsWith(QLatin1String("AltCH")) || name.endsWith(QLatin1String("Type")))
                continue;
            S().*f.text = name.mid(5, 1) + u':' + name.mid(6);
        }
    }
    static QStringList altItems(int c, const QString &type)
    {
        const QString ch = QString::number(c - 18);
        QStringList e{L(1, c, 5, QStringLiteral("Trig type [") + type + u']', 8)};
        auto item = [&](int i, const char *label, const char *member) {
            e << L(1, c, i, QLatin1String(label) + QStringLiteral(" [") + ch + u':' + QLatin1String(member) + u']', 8);
        };
        if (type == QLatin1String("EDGE")) {
            item(6, "Slope", "EdgeSlope");
            item(16, "Coupling", "EdgeCoupling");
            item(17, "Level", "EdgeLevel");
            item(20, "Sensitivity", "EdgeSensitivity");
            item(21, "Holdoff", "EdgeHoldoff");
        } else if (type == QLatin1String("PULSE")) {
            item(7, "Pulse mode", "PulseMode");
            item(8, "Pulse width", "PulseWidth");
            item(16, "Coupling", "PulseCoupling");
            item(17, "Level", "PulseLevel");
            item(20, "Sensitivity", "PulseSensitivity");
            item(21, "Holdoff", "PulseHoldoff");
        } else if (type == QLatin1String("VIDEO")) {
            item(12, "Polarity", "VideoPolarity");
            item(13, "Sync", "VideoSync");
            item(14, "Line number", "VideoLine");
            item(15, "Video Standard", "VideoStandard");
            item(17, "Level", "VideoLevel");
            item(20, "Sensitivity", "VideoSensitivity");
            item(21, "Holdoff", "VideoHoldoff");
        } else if (type == QLatin1String("SLOPE")) {
            item(9, "Slope mode", "SlopeMode");
            item(10, "Slope time", "SlopeTime");
            item(16, "Coupling", "SlopeCoupling");
            item(18, "LevelA", "SlopeLevelA");
            item(19, "LevelB", "SlopeLevelB");
            item(20, "Sensitivity", "SlopeSensitivity");
            item(21, "Holdoff", "SlopeHoldoff");
        }
        return e;
    }

private slots:
    void init()
    {
        resetApp();
        useLanguage(LanguageEnglish);
        S().reset();
    }
    void cleanup() { setDefaultWordSource({}); }

    void defaultTree_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("english") << int(LanguageEnglish);
        QTest::newRow("chinese") << int(LanguageChinese);
    }
    void defaultTree()
    {
        QFETCH(int, lang);
        useLanguage(lang);
        S().reset();
        const QStringList got = layoutDump();
        const QStringList want = defaultTree(lang);
        for (int k = 0; k < qMin(got.size(), want.size()); ++k)
            QCOMPARE(got[k], want[k]);
        QCOMPARE(got.size(), want.size());
    }

    void triggerMethods_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("edgeSource");
        QTest::addColumn<QString>("pulseSource");
        QTest::addColumn<QString>("videoSource");
        QTest::addColumn<QStringList>("want");

        const QString M = QStringLiteral("Method [%1]");
        auto edge = [&](const QString &src, bool analog) {
            QStringList e{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, M.arg("EDGE")),
                          L(1, 6, 4, QStringLiteral("Slope [RISING]")), L(1, 6, 3, "Source [" + src + "]"),
                          L(1, 6, 5, QStringLiteral("Mode [AUTO]"))};
            if (analog)
                e << L(1, 6, 6, QStringLiteral("Coupling [DC]")) << L(1, 6, 7, QStringLiteral("Level [0.00div]"))
                  << L(1, 6, 8, QStringLiteral("Sensitivity [0.10div]"));
            return e << L(1, 6, 9, QStringLiteral("Holdoff [100ns]"));
        };
        auto pulse = [&](const QString &src, bool analog) {
            QStringList e{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, M.arg("PULSE")),
                          L(1, 6, 3, "Source [" + src + "]"), L(1, 6, 4, QStringLiteral("Pulse mode [+Less Than]")),
                          L(1, 6, 5, QStringLiteral("Pulse width [1us]")), L(1, 6, 7, QStringLiteral("Mode [AUTO]"))};
            if (analog)
                e << L(1, 6, 6, QStringLiteral("Coupling [DC]")) << L(1, 6, 8, QStringLiteral("Level [0.00div]"))
                  << L(1, 6, 9, QStringLiteral("Sensitivity [0.10div]"));
            return e << L(1, 6, 10, QStringLiteral("Holdoff [100ns]"));
        };
        auto video = [&](const QString &src) {
            return QStringList{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, M.arg("VIDEO")),
                               L(1, 6, 3, "Source [" + src + "]"), L(1, 6, 4, QStringLiteral("Polarity [POSITIVE]")),
                               L(1, 6, 5, QStringLiteral("Sync [LINE]")), L(1, 6, 6, QStringLiteral("Line number [1]")),
                               L(1, 6, 7, QStringLiteral("Video Standard [NTSC]")),
                               L(1, 6, 8, QStringLiteral("Level [0.00div]")),
                               L(1, 6, 9, QStringLiteral("Sensitivity [0.10div]")),
                               L(1, 6, 10, QStringLiteral("Holdoff [100ns]"))};
        };
        const QStringList slope{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, M.arg("SLOPE")),
                                L(1, 6, 3, QStringLiteral("Source [CH1]")),
                                L(1, 6, 4, QStringLiteral("Slope mode [+Less Than]")),
                                L(1, 6, 5, QStringLiteral("Slope time [1us]")), L(1, 6, 8, QStringLiteral("Mode [AUTO]")),
                                L(1, 6, 7, QStringLiteral("Coupling [DC]")), L(1, 6, 9, QStringLiteral("LevelA [0.00div]")),
                                L(1, 6, 10, QStringLiteral("LevelB [0.20div]")),
                                L(1, 6, 11, QStringLiteral("Sensitivity [0.10div]")),
                                L(1, 6, 12, QStringLiteral("Holdoff [100ns]"))};
        auto withCode = [&](const QString &method, const CtrlSettings::LAArray &v) {
            QStringList e{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, M.arg(method))};
            for (const QString &line : codes(v))
                e << u' ' + line;
            return e;
        };
        CtrlSettings::LAArray pat, dur;
        for (int n = 0; n < 18; ++n) {
            pat[n] = QString(QLatin1String("HLX").at(n % 3));
            dur[n] = QStringLiteral("X");
        }
        QStringList pattern = withCode(QStringLiteral("PATTERN"), pat);
        pattern << L(1, 6, 22, QStringLiteral("Mode [AUTO]")) << L(1, 6, 23, QStringLiteral("Holdoff [100ns]"));
        QStringList duration = withCode(QStringLiteral("DURATION"), dur);
        duration << L(1, 6, 22, QStringLiteral("Qualifier [Less Than]"))
                 << L(1, 6, 23, QStringLiteral("Duration time [1us]")) << L(1, 6, 24, QStringLiteral("Mode [AUTO]"))
                 << L(1, 6, 25, QStringLiteral("Holdoff [100ns]"));

        QTest::newRow("EDGE") << "EDGE" << "CH1" << "CH1" << "CH1" << edge("CH1", true);
        QTest::newRow("EDGE digital") << "EDGE" << "D3" << "CH1" << "CH1" << edge("D3", false);
        QTest::newRow("EDGE analog, PULSE digital") << "EDGE" << "CH2" << "D0" << "CH1" << edge("CH2", true);
        QTest::newRow("EDGE lower-case d") << "EDGE" << "d3" << "CH1" << "CH1" << edge("d3", true);
        QTest::newRow("EDGE external") << "EDGE" << "EXT" << "CH1" << "CH1" << edge("EXT", true);
        QTest::newRow("PULSE") << "PULSE" << "CH1" << "CH1" << "CH1" << pulse("CH1", true);
        QTest::newRow("PULSE digital") << "PULSE" << "CH1" << "D12" << "CH1" << pulse("D12", false);
        QTest::newRow("PULSE analog, EDGE digital") << "PULSE" << "D3" << "CH2" << "CH1" << pulse("CH2", true);
        QTest::newRow("VIDEO") << "VIDEO" << "CH1" << "CH1" << "CH2" << video("CH2");
        QTest::newRow("VIDEO, D sources elsewhere") << "VIDEO" << "D1" << "D2" << "CH1" << video("CH1");
        QTest::newRow("SLOPE") << "SLOPE" << "D1" << "D2" << "CH1" << slope;
        QTest::newRow("PATTERN") << "PATTERN" << "CH1" << "CH1" << "CH1" << pattern;
        QTest::newRow("DURATION") << "DURATION" << "CH1" << "CH1" << "CH1" << duration;
        QTest::newRow("word of the other language")
            << u("边沿触发") << "D3" << "CH1" << "CH1"
            << QStringList{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, M.arg(u("边沿触发"))),
                           L(1, 6, 3, QStringLiteral("Source []"))};
    }
    void triggerMethods()
    {
        QFETCH(QString, method);
        QFETCH(QString, edgeSource);
        QFETCH(QString, pulseSource);
        QFETCH(QString, videoSource);
        QFETCH(QStringList, want);
        for (int n = 0; n < 18; ++n) {
            S().PatCode[n] = QString(QLatin1String("HLX").at(n % 3));
            S().DurCode[n] = QStringLiteral("X");
        }
        S().TrigMethod = method;
        S().EdgeSource = edgeSource;
        S().PulseSource = pulseSource;
        S().VideoSource = videoSource;
        const auto nodes = CtrlTreeLayout(S(), true);
        QCOMPARE(dumpUnder(nodes, {6, 0}), want);
        QCOMPARE(CtrlTriggerSourceIsDigital(S()), want.size() == 6 || want.size() == 7);
        // Time Base keeps its own three items under every method but ALTERNATIVE.
        QCOMPARE(dumpUnder(nodes, {5, 0}).size(), 4);
    }

    void alternateTypes_data()
    {
        QTest::addColumn<QString>("ch1");
        QTest::addColumn<QString>("ch2");
        const char *types[] = {"EDGE", "PULSE", "VIDEO", "SLOPE"};
        for (const char *a : types)
            for (const char *b : types)
                QTest::addRow("%s/%s", a, b) << a << b;
        QTest::newRow("CH1 unknown") << "edge" << "PULSE";
        QTest::newRow("CH2 other language") << "VIDEO" << u("边沿触发");
    }
    void alternateTypes()
    {
        QFETCH(QString, ch1);
        QFETCH(QString, ch2);
        markAlternateMembers();
        S().TrigMethod = QStringLiteral("ALTERNATIVE");
        S().AltCH1Type = ch1;
        S().AltCH2Type = ch2;
        S().EdgeSource = QStringLiteral("D3");
        QStringList want{L(0, 6, 0, QStringLiteral("Trigger"), 2), L(1, 6, 2, QStringLiteral("Method [ALTERNATIVE]")),
                         L(1, 6, 19, QStringLiteral("CH1"))};
        for (const QString &line : altItems(19, ch1))
            want << u' ' + line;
        want << L(1, 6, 20, QStringLiteral("CH2"));
        for (const QString &line : altItems(20, ch2))
            want << u' ' + line;
        const auto nodes = CtrlTreeLayout(S(), true);
        QCOMPARE(dumpUnder(nodes, {6, 0}), want);

        // Time Base shows the two channels' own time bases instead of its own.
        S().CH1TimeDiv = QStringLiteral("1.000ms");
        S().CH2Delay = QStringLiteral("2.0000s");
        const QStringList timeBase{L(0, 5, 0, QStringLiteral("Time Base"), 2),
                                   L(1, 5, 13, QStringLiteral("CH1")),
                                   L(2, 13, 15, QStringLiteral("Time/Div [1.000ms]"), 8),
                                   L(2, 13, 16, QStringLiteral("Delay [0.0000s]"), 8),
                                   L(1, 5, 14, QStringLiteral("CH2")),
                                   L(2, 14, 15, QStringLiteral("Time/Div [10.00us]"), 8),
                                   L(2, 14, 16, QStringLiteral("Delay [2.0000s]"), 8)};
        QCOMPARE(dumpUnder(CtrlTreeLayout(S(), true), {5, 0}), timeBase);
    }

    void otherMethodsShowNoAlternateGroups()
    {
        S().AltCH1Type = QStringLiteral("PULSE");
        for (const char *m : {"EDGE", "PULSE", "VIDEO", "SLOPE", "PATTERN", "DURATION", ""}) {
            S().TrigMethod = QLatin1String(m);
            for (const CtrlNodeSpec &n : CtrlTreeLayout(S(), true)) {
                QVERIFY2(n.id.group != 19 && n.id.group != 20 && !(n.id == CtrlNodeId{6, 19}), m);
                QVERIFY2(!(n.id == CtrlNodeId{5, 13}) && !(n.id == CtrlNodeId{13, 15}), m);
            }
        }
    }

    void withoutLaAndWithAverages()
    {
        S().AcqType = QStringLiteral("AVERAGE");
        S().AcqAverages = QStringLiteral("64");
        const auto nodes = CtrlTreeLayout(S(), false);
        for (const CtrlNodeSpec &n : nodes)
            QVERIFY(n.id.group != 4 && n.id.group != 10 && n.id.group != 13 && n.id.group != 14 && n.laChannel < 0);
        QCOMPARE(dumpUnder(nodes, {7, 0}),
                 (QStringList{L(0, 7, 0, QStringLiteral("Acquire"), 2), L(1, 7, 2, QStringLiteral("Acquisition [AVERAGE]")),
                              L(1, 7, 3, QStringLiteral("Sampling Mode [REAL_TIME]")),
                              L(1, 7, 5, QStringLiteral("Averages [64]"))}));
        // Eight groups become seven: CH2 is followed by Time Base.
        QStringList groups;
        for (const CtrlNodeSpec &n : nodes)
            if (n.parent == 0)
                groups << idText(n.id);
        QCOMPARE(groups, (QStringList{"(1,0)", "(2,0)", "(3,0)", "(5,0)", "(6,0)", "(7,0)", "(8,0)", "-"}));
        QCOMPARE(nodes.back().text, QStringLiteral("Virtual Panel"));
    }

    void laChannelsAndEmptyValues()
    {
        S().LAChanOn[1] = QStringLiteral("ON");
        S().LAChanOn[16] = QStringLiteral("OFF");
        S().LAChanPos[3] = QStringLiteral("7");
        S().CH2Probe.clear();
        const auto nodes = CtrlTreeLayout(S(), true);
        const QStringList la = dumpUnder(nodes, {4, 14});
        QCOMPARE(la.value(3), L(1, 14, 5, QStringLiteral("D15 [ON]"), 8));
        QCOMPARE(la.value(18), L(1, 14, 20, QStringLiteral("D0 [OFF]"), 8));
        QCOMPARE(dumpUnder(nodes, {4, 10}).value(3), L(1, 10, 7, QStringLiteral("D13 [7]"), 8));
        QCOMPARE(dumpUnder(nodes, {3, 0}).value(6), L(1, 3, 7, QStringLiteral("Probe []")));
        for (const CtrlNodeSpec &n : nodes)
            if (n.laChannel >= 0)
                QCOMPARE(n.text.section(u' ', 0, 0), QStringLiteral("D%1").arg(n.laChannel));
    }

    // The tree control holds exactly the listed nodes, with their pictures and
    // ids; a second build gives the same tree.
    void controlMirrorsLayout_data()
    {
        QTest::addColumn<QString>("method");
        QTest::newRow("EDGE") << "EDGE";
        QTest::newRow("DURATION") << "DURATION";
        QTest::newRow("ALTERNATIVE") << "ALTERNATIVE";
    }
    void controlMirrorsLayout()
    {
        QFETCH(QString, method);
        frmCtrlList pane;
        S().TrigMethod = method;
        BuildCtrlTree();
        BuildCtrlTree();
        QStringList want = layoutDump();
        if (method == QLatin1String("ALTERNATIVE")) {
            // D5 and D4 give their ids to Time Base CH2's items, made later.
            want.replaceInStrings(QStringLiteral("(14,15) D5"), QStringLiteral("- D5"));
            want.replaceInStrings(QStringLiteral("(14,16) D4"), QStringLiteral("- D4"));
        }
        QCOMPARE(widgetDump(pane.CtrlTree()), want);
        QVERIFY(CtrlTreeRootExpanded());
        QVERIFY(!CtrlNodeExpanded(1, 0));
    }

    // (14,15) and (14,16) are Time Base CH2's items under the alternate
    // trigger, yet every LA channel keeps a reference of its own.
    void sharedIdsKeepSeparateNodes()
    {
        frmCtrlList pane;
        S().TrigMethod = QStringLiteral("ALTERNATIVE");
        BuildCtrlTree();
        QCOMPARE(CtrlNodeText(14, 15), QStringLiteral("Time/Div [10.00us]"));
        QCOMPARE(LaChannelNodeText(5), QStringLiteral("D5 [OFF]"));
        QCOMPARE(LaChannelNodeText(4), QStringLiteral("D4 [OFF]"));

        SetLaChannelNodeText(5, QStringLiteral("D5 [ON]"));
        SetCtrlNodeSetting(14, 16, QStringLiteral("Delay"), QStringLiteral("1.0000s"));
        QCOMPARE(CtrlNodeText(14, 15), QStringLiteral("Time/Div [10.00us]"));
        QCOMPARE(CtrlNodeText(14, 16), QStringLiteral("Delay [1.0000s]"));
        QCOMPARE(LaChannelNodeText(5), QStringLiteral("D5 [ON]"));
        QCOMPARE(LaChannelNodeText(4), QStringLiteral("D4 [OFF]"));
        QCOMPARE(pane.CtrlTree()->node(14, 16)->parent(), pane.CtrlTree()->node(5, 14));

        // Under another method the two ids are the LA channels again.
        S().TrigMethod = QStringLiteral("EDGE");
        BuildCtrlTree();
        QCOMPARE(pane.CtrlTree()->node(14, 15), pane.CtrlTree()->laChannel(5));
        QVERIFY(!HasCtrlNode(5, 13));

        // Without LA only the time-base items hold those ids.
        app().ctrl.hooks.laPresent = [] { return false; };
        S().TrigMethod = QStringLiteral("ALTERNATIVE");
        BuildCtrlTree();
        QVERIFY(!HasLaChannelNode(5));
        QVERIFY(!HasCtrlNode(4, 0));
        QCOMPARE(CtrlNodeText(14, 15), QStringLiteral("Time/Div [10.00us]"));
        SetLaChannelNodeText(5, QStringLiteral("x")); // no node: nothing happens
        QCOMPARE(CtrlNodeText(14, 15), QStringLiteral("Time/Div [10.00us]"));
    }

    // The language switch rebuilds the tree in the new language with the same
    // branches open; a plain build opens only the root.
    void languageSwitchKeepsExpandedBranches()
    {
        frmCtrlList pane;
        SetCtrlNodeExpanded(1, 0, false);
        SetCtrlNodeExpanded(3, 0, true);
        SetCtrlNodeExpanded(6, 0, true);
        SetCtrlNodeExpanded(4, 0, true);
        SetCtrlNodeExpanded(4, 14, true);
        SetCtrlNodeExpanded(8, 0, false);

        SwitchLanguage(LanguageChinese);
        QCOMPARE(CtrlNodeText(6, 2), u("触发模式 [边沿触发]"));
        QCOMPARE(CtrlNodeText(1, 0), u("运行控制"));
        QVERIFY(CtrlTreeRootExpanded());
        QVERIFY(!CtrlNodeExpanded(1, 0));
        QVERIFY(CtrlNodeExpanded(3, 0));
        QVERIFY(CtrlNodeExpanded(6, 0));
        QVERIFY(CtrlNodeExpanded(4, 0));
        QVERIFY(CtrlNodeExpanded(4, 14));
        QVERIFY(!CtrlNodeExpanded(4, 10));
        QVERIFY(!CtrlNodeExpanded(2, 0));

        // A node missing at the save keeps its earlier flag: the alternate
        // trigger's groups appear closed.
        S().TrigMethod = u("交替触发");
        RebuildCtrlTreeKeepingExpanded();
        QVERIFY(HasCtrlNode(6, 19));
        QVERIFY(!CtrlNodeExpanded(6, 19));
        QVERIFY(CtrlNodeExpanded(6, 0));
        SetCtrlNodeExpanded(6, 19, true);
        S().TrigMethod = u("边沿触发");
        RebuildCtrlTreeKeepingExpanded(); // (6,19) absent: its flag stays set
        S().TrigMethod = u("交替触发");
        RebuildCtrlTreeKeepingExpanded();
        QVERIFY(CtrlNodeExpanded(6, 19));

        BuildCtrlTree();
        QVERIFY(CtrlTreeRootExpanded());
        for (const CtrlNodeId &id : CtrlTreeExpandedNodes())
            if (id.valid())
                QVERIFY(!CtrlNodeExpanded(id.group, id.item));
    }

    // Without a pane the node functions do nothing and read empty.
    void noPaneNoTree()
    {
        BuildCtrlTree();
        SaveCtrlTreeExpanded();
        RestoreCtrlTreeExpanded();
        SetCtrlNodeText(2, 2, QStringLiteral("x"));
        QCOMPARE(CtrlNodeText(2, 2), QString());
        QVERIFY(!HasCtrlNode(1, 0));
        QCOMPARE(CtrlNodeText(40, -1), QString());
    }
};

QTEST_MAIN(TestCtrlTree)
#include "tst_ctrltree.moc"

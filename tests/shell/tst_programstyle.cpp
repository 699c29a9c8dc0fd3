// The program's style: the extension buttons' arrows of the menu bar and the
// toolbar are asked of the underlying style only when first drawn, and are
// then the same pictures; every other icon comes from that style as before.
#include "shell/programstyle.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleFactory>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

// Fusion, counting the extension arrows asked of it.
class CountingStyle final : public QProxyStyle {
public:
    CountingStyle() : QProxyStyle(QStringLiteral("fusion")) {}
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option, const QWidget *widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            ++asked;
        return QProxyStyle::standardIcon(which, option, widget);
    }
    mutable int asked = 0;
};

QImage imageOf(const QIcon &icon, int size) { return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32); }

} // namespace

class TestProgramStyle : public QObject {
    Q_OBJECT
private slots:
    void extensionArrowsWaitUntilDrawn()
    {
        auto *counting = new CountingStyle;
        QApplication::setStyle(new ProgramStyle(counting));
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("File"));
        window.addToolBar(QStringLiteral("Tools"))->addAction(QStringLiteral("New"));
        QCOMPARE(counting->asked, 0);

        auto *extension = window.menuBar()->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(extension);
        QVERIFY(!extension->icon().isNull());
        std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        for (int size : {16, 24, 32})
            QCOMPARE(imageOf(extension->icon(), size),
                     imageOf(fusion->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), size));
        QCOMPARE(counting->asked, 1); // asked once, however often drawn

        // Any other icon: the underlying style's own, at once.
        QCOMPARE(imageOf(QApplication::style()->standardIcon(QStyle::SP_DialogOkButton), 16),
                 imageOf(fusion->standardIcon(QStyle::SP_DialogOkButton), 16));
    }

    void appliedOnceOverTheApplicationsStyle()
    {
        QApplication::setStyle(QStringLiteral("fusion"));
        applyProgramStyle();
        QStyle *first = QApplication::style();
        QVERIFY(dynamic_cast<ProgramStyle *>(first));
        applyProgramStyle();
        QCOMPARE(QApplication::style(), first);
    }
};

QTEST_MAIN(TestProgramStyle)
#include "tst_programstyle.moc"

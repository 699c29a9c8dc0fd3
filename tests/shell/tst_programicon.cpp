// The program's own icon on its windows: the main window, the item windows in
// its area, its dialogs and the About box carry it, not the toolkit's logo.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "replay/frmrecordplay.h"
#include "shell/frmabout.h"
#include "shell/frmoptions.h"
#include "shell/programicon.h"
#include "shell/programiconpicture.h"
#include "shell/shellfixture.h"
#include "workspace/pictures.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

namespace {

QImage pictureOf(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage ours(int size)
{
    return programIconPixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestProgramIcon : public QObject {
    Q_OBJECT
private slots:
    void sizesAreDrawnAndDiffer()
    {
        ShellFixture f;
        for (int size : {16, 32, 48}) {
            const QImage img = ours(size);
            QCOMPARE(img.size(), QSize(size, size));
            // Transparent corners, a drawn body: not an empty picture.
            QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(img.pixel(size / 2, size / 2)), 255);
        }
        // Both traces show: yellow and cyan pixels at 32 pixels.
        const QImage img = ours(32);
        bool yellow = false;
        bool cyan = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb c = img.pixel(x, y);
                yellow |= qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80;
                cyan |= qRed(c) < 80 && qGreen(c) > 200 && qBlue(c) > 200;
            }
        QVERIFY(yellow && cyan);
    }

    // The sizes windows hand the window system are the program's pictures;
    // they are the drawing itself, pixel for pixel (a changed drawing needs
    // the pictures drawn anew), and every other size is painted.
    void keptSizesAreTheDrawing()
    {
        ShellFixture f;
        const QIcon icon = programIcon();
        QList<QSize> handed;
        for (int size : ProgramIconWindowSizes) {
            handed << QSize(size, size);
            const QImage kept = pictureImage(QStringLiteral("icon-%1").arg(size).toLatin1().constData());
            QVERIFY2(!kept.isNull(), qPrintable(QString::number(size)));
            QCOMPARE(kept, paintProgramIcon(size));
            QCOMPARE(ours(size), paintProgramIcon(size).convertToFormat(QImage::Format_ARGB32));
        }
        QCOMPARE(icon.availableSizes(), handed);
        for (int size : {20, 22, 128})
            QCOMPARE(pictureOf(icon, size), paintProgramIcon(size).convertToFormat(QImage::Format_ARGB32));
    }

    void windowsCarryTheProgramIcon()
    {
        ShellFixture f;
        auto w = f.loadMain();
        QCOMPARE(pictureOf(w->windowIcon(), 32), ours(32));

        // Item windows in the main window's area.
        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Replay);
        f.clock.advance(600);
        const auto subs = w->mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        for (QMdiSubWindow *sub : subs) {
            QVERIFY(!sub->windowIcon().isNull());
            QCOMPARE(pictureOf(sub->windowIcon(), 32), ours(32));
        }

        // A dialog of the main window and the About box with its picture.
        frmOptions options(w.get());
        QCOMPARE(pictureOf(options.windowIcon(), 32), ours(32));
        frmAbout about(w.get());
        QCOMPARE(pictureOf(about.windowIcon(), 32), ours(32));
        auto *picIcon = about.findChild<QLabel *>(QStringLiteral("picIcon"));
        QVERIFY(picIcon);
        QCOMPARE(picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), ours(32));
    }
};

QTEST_MAIN(TestProgramIcon)
#include "tst_programicon.moc"

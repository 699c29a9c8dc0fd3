#pragma once
// Driving an editable zoom box as the user does: typing key by key, then
// committing with Enter or by the focus leaving the box.

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QtTest>

enum class ZoomCommit { Enter, FocusLeaves, None };

// Replaces the box's text by text, one key at a time, then commits it.
inline void typeZoom(QComboBox *box, const QString &text, ZoomCommit commit = ZoomCommit::Enter)
{
    QLineEdit *edit = box->lineEdit();
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    switch (commit) {
    case ZoomCommit::Enter: QTest::keyClick(edit, Qt::Key_Return); break;
    case ZoomCommit::FocusLeaves: {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
        break;
    }
    case ZoomCommit::None: break;
    }
}

// Empties the box and types text one key at a time, as a slow typist does:
// after every key the box shows exactly the keys typed so far, with nothing
// selected (nothing completed from the list). Commits nothing.
inline void typeZoomSlowly(QComboBox *box, const QString &text)
{
    QLineEdit *edit = box->lineEdit();
    QVERIFY(edit);
    // The box has the keyboard focus, as under the user's typing.
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(edit, &in);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QTest::keyClick(edit, text.at(i).toLatin1());
        QCOMPARE(edit->text(), text.left(i + 1));
        QVERIFY2(!edit->hasSelectedText(), qPrintable(edit->selectedText()));
    }
}

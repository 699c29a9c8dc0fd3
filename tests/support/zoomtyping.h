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

#include "wave/zoombox.h"

#include <QComboBox>
#include <QLineEdit>

void connectZoomBox(QComboBox *box, QObject *context, std::function<void()> commit)
{
    QLineEdit *edit = box->lineEdit();
    if (!edit)
        return;
    // No completion from the list while typing: "3" would show "300%" with
    // "00%" selected, and a slow typist would get a factor never typed. The
    // list stays for choosing.
    box->setCompleter(nullptr);
    QObject::connect(box, &QComboBox::activated, context, [commit] { commit(); });
    QObject::connect(edit, &QLineEdit::editingFinished, context, [edit, commit] {
        if (!edit->isModified())
            return; // nothing typed since the text was set
        edit->setModified(false);
        commit();
    });
}

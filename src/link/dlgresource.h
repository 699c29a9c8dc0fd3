#pragma once
// DlgResource: the small dialog in which the user picks one of several VISA
// resources at connect time. It lists the descriptions in search order, none
// selected, each with the identity the search knows of it on a second line; OK (or a double click on an entry) sets ResourceName to the
// selected entry (empty when none is selected) and OkCancel true; Cancel and a
// close by the window frame set OkCancel false.

#include <QDialog>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class DlgResource final : public QDialog {
    Q_OBJECT
public:
    explicit DlgResource(QWidget *parent = nullptr);

    // Empties the list and adds names in order.
    void setResources(const QStringList &names);
    // Sets the caption, prompt and button texts of language lang (0 Chinese,
    // 1 English; any other value changes nothing).
    void LoadDlgResource(int lang);

    QListWidget *cmbResource() const { return list_; }
    QLabel *lstRsource() const { return prompt_; }
    QPushButton *OKButton() const { return ok_; }
    QPushButton *CancelButton() const { return cancel_; }

    // Loads a dialog with names and shows it modally (the program's chooser).
    static void showModal(const QStringList &names);

public:
    // Cancel, Escape and a close by the window frame all come here.
    void reject() override;

private:
    void onOk();
    void onDoubleClick(QListWidgetItem *item);

    QLabel *prompt_;
    QListWidget *list_;
    QPushButton *ok_;
    QPushButton *cancel_;
};

#pragma once
// The About box: version, description and notice; OK (also Enter and Esc)
// closes it; System Info starts the desktop's system information program; F2
// shows the engineering version.

#include <QDialog>

#include <functional>

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *owner = nullptr);

    // Starts the first system information program of systemInfoPrograms()
    // that the lookup finds; none found, or the start fails: the unavailable
    // message. The About box stays open either way.
    void StartSysInfo();

protected:
    void keyPressEvent(QKeyEvent *e) override;
};

// The programs tried by System Info, in order.
QStringList systemInfoPrograms();
// The lookup of a program on the search path: its full path, or empty. Tests
// install their own; an empty function restores the search-path lookup.
void setProgramLookup(std::function<QString(const QString &program)> lookup);

#pragma once
// The program's style: the application's own style, but for the arrows of
// the menu bar's and toolbar's extension buttons, which it makes only when
// one is first drawn. Qt's own style makes those arrows from picture files
// the moment a menu bar or toolbar is created, and reading the first picture
// file loads every image-format plugin installed: work at every start for a
// button that shows only when the window is too narrow for its menus.

#include <QProxyStyle>

class ProgramStyle : public QProxyStyle {
public:
    // Over the style of the given name (the application's own when empty),
    // or over the given style, which it then owns.
    explicit ProgramStyle(const QString &baseKey = QString());
    explicit ProgramStyle(QStyle *base);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

// The application's style made a ProgramStyle over the style it has now.
void applyProgramStyle();

#pragma once
// Small helpers of the editors' table tests: texts written language-free in a
// table ("@WordOn" is the word WordOn of the language in force), and settings
// changed or read by name ("TrigMethod=@WordPulse;PulseSource=D3").

#include "app/appstate.h"
#include "common/ctrlsettings.h"
#include "controller/ctrltreenodes.h"
#include "texts/stringres.h"

#include <QString>
#include <QStringList>

// "@Name" gives the word Name in the language in force; any other text is
// itself.
inline QString resolved(const QString &token)
{
    if (!token.startsWith(u'@'))
        return token;
    Word w{};
    const QByteArray name = token.mid(1).toLatin1();
    if (!wordByName(name.constData(), &w))
        return QStringLiteral("<no word %1>").arg(token);
    return word(w);
}

inline QStringList resolved(const QStringList &tokens)
{
    QStringList out;
    for (const QString &t : tokens)
        out << resolved(t);
    return out;
}

// The parts resolved and joined without separator (an edit key).
inline QString joinedKey(const QStringList &parts)
{
    return resolved(parts).join(QString());
}

// A settings member by name: "CH1Offset", or an array element "LAChanOn[13]";
// null for a name the record lacks.
inline QString *memberByName(const QString &name)
{
    QString base = name;
    int index = -1;
    if (name.endsWith(u']')) {
        const qsizetype open = name.indexOf(u'[');
        if (open < 0)
            return nullptr;
        base = name.left(open);
        index = name.mid(open + 1, name.size() - open - 2).toInt();
    }
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (base != QLatin1String(f.name))
            continue;
        if (index < 0 && f.text)
            return &(app().Settings.*f.text);
        if (index >= 0 && f.array && index < CtrlSettings::ArraySize)
            return &(app().Settings.*f.array)[index];
    }
    return nullptr;
}

// "Member=value" pairs separated by ";", values resolved as above.
inline QList<QPair<QString, QString>> memberPairs(const QString &spec)
{
    QList<QPair<QString, QString>> out;
    for (const QString &pair : spec.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        out.append({eq < 0 ? pair : pair.left(eq), eq < 0 ? QString() : resolved(pair.mid(eq + 1))});
    }
    return out;
}

// Sets settings members by name ("TrigMethod=@WordPulse;LAChanOn[3]=@WordOn").
// Returns false for a name the record lacks.
inline bool setMembers(const QString &spec)
{
    for (const auto &[name, value] : memberPairs(spec)) {
        QString *member = memberByName(name);
        if (!member)
            return false;
        *member = value;
    }
    return true;
}

// The node (group, item) must read label [value]: "6,7|@ItemLevel|1.20div".
inline QString nodeCheck(const QString &spec)
{
    const QStringList p = spec.split(u'|');
    const QStringList id = p.at(0).split(u',');
    const int g = id.at(0).toInt(), i = id.at(1).toInt();
    const QString want = resolved(p.at(1)) + QStringLiteral(" [") + resolved(p.at(2)) + u']';
    const QString shown = CtrlNodeText(g, i);
    return shown == want ? QString() : QStringLiteral("node %1: %2, expected %3").arg(p.at(0), shown, want);
}

// "Member=value" must hold.
inline QString memberCheck(const QString &spec)
{
    const qsizetype eq = spec.indexOf(u'=');
    const QString name = spec.left(eq);
    const QString want = resolved(spec.mid(eq + 1));
    for (const CtrlSettingsField &f : ctrlSettingsFields())
        if (f.text && name == QLatin1String(f.name))
            return app().Settings.*f.text == want
                       ? QString()
                       : QStringLiteral("%1 = %2, expected %3").arg(name, app().Settings.*f.text, want);
    return QStringLiteral("no member ") + name;
}

inline bool settingsHoldInfOrNan()
{
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (!f.text)
            continue;
        const QString v = (app().Settings.*f.text).toLower();
        if (v.contains(QLatin1String("inf")) || v.contains(QLatin1String("nan")))
            return true;
    }
    return false;
}


#include "texts/loadlanguage.h"

#include "texts/textstate.h"
#include "common/defaultwords.h"
#include "platform/settingsstore.h"
#include "texts/messagetable.h"
#include "texts/retranslate.h"
#include "texts/stringres.h"
#include "texts/toolkitlanguage.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

namespace {

// The defaults of the settings record are display words: they come from the
// tables of the language in force (English before any language is applied,
// or for a language with empty tables).
QString currentLanguageWord(const char *name, const QString &english)
{
    Word w;
    if (!wordByName(name, &w))
        return english;
    const QString &text = word(w);
    return text.isEmpty() ? english : text;
}

} // namespace

void installDefaultWordSource()
{
    setDefaultWordSource(currentLanguageWord);
}

LanguageLoaderTable defaultLanguageLoaders()
{
    using L = LanguageLoader;
    return LanguageLoaderTable{{
        {L::LoadMessageTable, "LoadMessageTable", LoadMessageTable},
        {L::FillTokenTexts, "FillTokenTexts", FillTokenTexts},
        {L::FillTreeLabels, "FillTreeLabels", FillTreeLabels},
        {L::FillMeasureNames, "FillMeasureNames", FillMeasureNames},
        {L::LoadMainMenuTexts, "LoadMainMenuTexts", {}},
        {L::LoadTreeMenuTexts, "LoadTreeMenuTexts", {}},
        {L::LoadMainToolbarTexts, "LoadMainToolbarTexts", {}},
        {L::LoadDataSheetTreeTexts, "LoadDataSheetTreeTexts", {}},
        {L::LoadControllerTexts, "LoadControllerTexts", {}},
        {L::LoadAllWaveWindowTexts, "LoadAllWaveWindowTexts", {}},
        {L::LoadAllDataWindowTexts, "LoadAllDataWindowTexts", {}},
        {L::LoadAllMeasureWindowTexts, "LoadAllMeasureWindowTexts", {}},
        {L::LoadAllReplayWindowTexts, "LoadAllReplayWindowTexts", {}},
        {L::LoadAllStoredWaveWindowTexts, "LoadAllStoredWaveWindowTexts", {}},
    }};
}

int languageIndex()
{
    return textState().LanguageIndex;
}

void LoadLanguageSetting()
{
    const QString text = GetSetting(QLatin1String(LanguageSection), QLatin1String(LanguageKey), QStringLiteral("1"));
    qint32 lang = 0;
    if (!StoredLong(text, &lang))
        return; // not a number: the language stays as it was
    // Only 0 and 1 are languages; any other stored number (a hand-edited
    // setting) is read as English rather than leaving every text empty.
    textState().LanguageIndex = (lang == LanguageChinese) ? LanguageChinese : LanguageEnglish;
}

void SaveLanguageSetting()
{
    SaveSetting(QLatin1String(LanguageSection), QLatin1String(LanguageKey),
                QString::number(textState().LanguageIndex));
}

QString helpFileFor(int lang)
{
    const QString folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return folder + (lang == LanguageChinese ? QStringLiteral("/QM4100help_Chinese.chm")
                                             : QStringLiteral("/QM4100help.chm"));
}

void ApplyLanguage(int lang)
{
    installDefaultWordSource();
    // Qt's own texts first, so that what the loaders build already has them.
    applyToolkitLanguage(lang);
    TextState &t = textState();
    t.HelpFile = helpFileFor(lang);
    if (t.LanguageMenuTick)
        t.LanguageMenuTick(lang == LanguageChinese);
    // Run from a copy: a loader may install or clear rows while the table runs.
    const LanguageLoaderTable loaders = t.Loaders;
    for (const LanguageLoaderRow &row : loaders)
        if (row.run)
            row.run(lang);
}

void SwitchLanguage(int newLang)
{
    TextState &t = textState();
    const int oldLang = t.LanguageIndex;
    if (t.LanguageMenuTick)
        t.LanguageMenuTick(newLang == LanguageChinese);
    t.LanguageIndex = newLang;
    ApplyLanguage(newLang);
    RetranslateSettings(newLang, oldLang);
    SaveLanguageSetting();
    RebuildCtrlTreeKeepExpanded();
}

void setLanguageLoader(LanguageLoader id, std::function<void(int)> fn)
{
    const int i = static_cast<int>(id);
    if (i < 0 || i >= LanguageLoaderCount)
        return;
    textState().Loaders[i].run = std::move(fn);
}

std::function<void(int)> languageLoader(LanguageLoader id)
{
    const int i = static_cast<int>(id);
    if (i < 0 || i >= LanguageLoaderCount)
        return {};
    return textState().Loaders[i].run;
}

void setLanguageMenuTick(std::function<void(bool chineseTicked)> fn)
{
    textState().LanguageMenuTick = std::move(fn);
}

void setCtrlTreeRebuild(std::function<void()> fn)
{
    textState().CtrlTreeRebuild = std::move(fn);
}

void RebuildCtrlTreeKeepExpanded()
{
    const auto rebuild = textState().CtrlTreeRebuild;
    if (rebuild)
        rebuild();
}

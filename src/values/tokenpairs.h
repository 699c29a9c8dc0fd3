#pragma once
// Setting token pairs: each enumerated setting is kept as the value word shown
// to the user (current language), while the instrument speaks fixed tokens.
// For every family a token converter turns the shown word into the token to
// send, and a display converter turns the instrument's reply (already cut at
// its line end) into the word to show. Words, tokens and replies are compared
// whole and case-sensitively; nothing is trimmed. The last row of a family is
// its fallback, chosen for anything that matches no earlier row (the sweep
// family has none: it gives the empty text).

#include <QString>

// Run state: the whole command line ":RUN" or ":STOP".
QString RunStopCommand(const QString &word);
QString RunStopDisplay(const QString &reply);
QString OnOffToken(const QString &word);
QString OnOffDisplay(const QString &reply);
QString LaSizeToken(const QString &word);
QString LaSizeDisplay(const QString &reply);
QString AcqModeToken(const QString &word);
QString AcqModeDisplay(const QString &reply);
QString AcqTypeToken(const QString &word);
QString AcqTypeDisplay(const QString &reply);
QString DisplayTypeToken(const QString &word);
QString DisplayTypeDisplay(const QString &reply);
QString GridToken(const QString &word);
QString GridDisplay(const QString &reply);
QString TrigMethodToken(const QString &word);
QString TrigMethodDisplay(const QString &reply);
QString SweepToken(const QString &word);
QString SweepDisplay(const QString &reply);
QString CouplingToken(const QString &word);
QString CouplingDisplay(const QString &reply);
QString EdgeSlopeToken(const QString &word);
QString EdgeSlopeDisplay(const QString &reply);
// The conditions take the words their defaults hold: the pulse condition a
// pulse word of either language (the alternate CH2 pulse condition's default
// is the English "+Less Than" in both), the slope condition also a pulse word
// (the slope conditions' default is the pulse word "+Less Than", whose Chinese
// text differs from the slope word's), sent as the slope condition of the
// same name. So the defaults go out as "+LESSTHAN" in either language.
QString PulseModeToken(const QString &word);
QString PulseModeDisplay(const QString &reply);
QString SlopeModeToken(const QString &word);
QString SlopeModeDisplay(const QString &reply);
QString VideoPolarityToken(const QString &word);
QString VideoPolarityDisplay(const QString &reply);
// The video sync tokens come in mixed case ("ALLlines"); a caller that needs
// upper case converts them itself.
QString VideoSyncToken(const QString &word);
QString VideoSyncDisplay(const QString &reply);
QString DurationQualifierToken(const QString &word);
QString DurationQualifierDisplay(const QString &reply);

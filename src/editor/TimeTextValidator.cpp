#include "TimeTextValidator.h"

#include <QStringList>
#include <limits>

namespace {

using Reading = TimeTextValidator::Reading;

Reading Refuse(const QString& why) {
    return {QValidator::Invalid, 0, why};
}

Reading NotYet(const QString& why) {
    return {QValidator::Intermediate, 0, why};
}

bool AllDigits(const QString& text) {
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

TimeTextValidator::TimeTextValidator(bool AllowNegative, QObject* parent)
    : QValidator(parent), allowNegative_(AllowNegative) {}

TimeTextValidator::Reading TimeTextValidator::Read(const QString& given, bool AllowNegative) {
    QString text = given.trimmed();
    if (text.isEmpty()) {
        return {Acceptable, 0, QString()};
    }
    const bool negative = text.startsWith(u'-');
    if (negative) {
        if (!AllowNegative) {
            return Refuse(tr("A split time cannot be negative"));
        }
        text.remove(0, 1);
        if (text.isEmpty()) {
            return NotYet(tr("Type the time after the '-'"));
        }
    }
    for (QChar c : text) {
        if (!(c.isDigit() && c.unicode() <= '9') && c != u':' && c != u'.') {
            return Refuse(tr("Use digits, ':' and '.' only, as in 1:02:03.45"));
        }
    }
    const QStringList halves = text.split(u'.');
    if (halves.size() > 2) {
        return Refuse(tr("Only one '.', before the hundredths"));
    }
    const QString fraction = halves.size() == 2 ? halves[1] : QString();
    if (fraction.size() > 2) {
        return Refuse(tr("At most two digits after the '.' (hundredths)"));
    }
    const QStringList fields = halves[0].split(u':');
    if (fields.size() > 3) {
        return Refuse(tr("At most hours:minutes:seconds"));
    }
    if (fields[0].isEmpty() && fields.size() > 1) {
        return Refuse(tr("A number comes before each ':'"));
    }
    // Fields after the first are minutes or seconds: two digits, up to 59.
    static const char* const kUnits[] = {"Minutes", "Seconds"};
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QString& field = fields[i];
        const char* unit = kUnits[i - 1 + (3 - fields.size())];
        if (field.size() > 2) {
            return Refuse(tr("%1 take two digits after ':'").arg(tr(unit)));
        }
        if (field.size() == 2 && field.toInt() > 59) {
            return Refuse(tr("%1 go up to 59 (%2 here)").arg(tr(unit), field));
        }
        if (field.size() < 2) {
            return NotYet(tr("%1 take two digits after ':'").arg(tr(unit)));
        }
    }
    if (halves.size() == 2 && fraction.isEmpty()) {
        return NotYet(tr("Type the tenths or hundredths after the '.'"));
    }

    // The first field may be as long as a 32-bit time allows.
    qint64 value = 0;
    const QString& first = fields[0];
    if (first.size() > 10 || !AllDigits(first)) {
        return Refuse(tr("Too long: at most 5965:13:56.47"));
    }
    const qint64 firstValue = first.isEmpty() ? 0 : first.toLongLong();
    static const qint64 kUnitOfFirst[] = {100, 6000, 360000};
    value += firstValue * kUnitOfFirst[fields.size() - 1];
    for (qsizetype i = 1; i < fields.size(); ++i) {
        value += fields[i].toLongLong() * kUnitOfFirst[fields.size() - 1 - i];
    }
    if (!fraction.isEmpty()) {
        value += fraction.size() == 1 ? fraction.toInt() * 10 : fraction.toInt();
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return Refuse(tr("Too long: at most 5965:13:56.47"));
    }
    const auto time = static_cast<std::int32_t>(value);
    return {Acceptable, negative ? -time : time, QString()};
}

QValidator::State TimeTextValidator::validate(QString& input, int& /*pos*/) const {
    const Reading reading = Read(input, allowNegative_);
    if (reading.Verdict == Invalid) {
        emit refused(reading.Why);
    }
    return reading.Verdict;
}

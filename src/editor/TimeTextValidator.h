// Checks time text as the runner types it in the split editor, and reads it.
//
//   "3:00.5" -> 3:00.50 (one digit after the point is tenths)   "1:02:03.4" -> 1:02:03.40
//   "62:03.40" -> 1:02:03.40 (the first field may be any size)  "" -> no time (0)
//   "4m00s" refused: "Use digits, ':' and '.' only, as in 1:02:03.45"
//   "3:75.00" refused: "Seconds go up to 59 (75 here)"
//
// A text that could still become a time ("3:", "3:0", "3:00.") is let through while typing
// but is not a time yet. A refused keystroke is not taken; refused() says why, for a tooltip.
#pragma once

#include <QString>
#include <QValidator>
#include <cstdint>

class TimeTextValidator : public QValidator {
    Q_OBJECT

  public:
    struct Reading {
        State Verdict = Invalid;  // Acceptable: Value holds the time
        std::int32_t Value = 0;   // hundredths; 0 for the empty text (no time)
        QString Why;              // for Intermediate and Invalid: what is wrong
    };

    // AllowNegative for the start offset, where a negative time is a lead-in.
    explicit TimeTextValidator(bool AllowNegative = false, QObject* parent = nullptr);

    static Reading Read(const QString& text, bool AllowNegative);
    State validate(QString& input, int& pos) const override;

  signals:
    void refused(const QString& why) const;

  private:
    bool allowNegative_;
};

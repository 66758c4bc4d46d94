#pragma once

#include <QString>

class QWidget;

// Grants every right code; list windows ask before each toolbar operation.
bool PermissionCheck(const QString &rightCode);

// Hourglass and arrow around long database work.
void SetWaitCursor();
void SetArrowCursor();

// The hourglass for the life of the object; the arrow comes back also when the work throws.
class WaitCursor
{
public:
    WaitCursor() { SetWaitCursor(); }
    ~WaitCursor() { SetArrowCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// The input method named in Connect.ini ([IME] CURIME, default "Error"), or "Error".
QString ConfiguredInputMethod();
// Gives the configured input method to the edit fields that are direct children of
// the container. Linux input methods cannot be forced per field, so the name is
// kept as the field's "inputMethodName" property for the platform to honour.
void ApplyInputMethod(QWidget *container);

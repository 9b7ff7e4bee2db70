#include "focusreturn.h"

#include <QWidget>

void FocusReturn::afterDialog(QWidget *asker)
{
    QWidget *window = asker->window();
    window->raise();
    window->activateWindow();
}

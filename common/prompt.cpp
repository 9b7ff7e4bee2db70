#include "prompt.h"

#include "repeatguard.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {
Prompt::RefuseHandler &refuseHandler()
{
    static Prompt::RefuseHandler h;
    return h;
}
Prompt::ConfirmHandler &confirmHandler()
{
    static Prompt::ConfirmHandler h;
    return h;
}

Prompt::HomeScreen &home()
{
    static Prompt::HomeScreen h;
    return h;
}

// Left to itself a box without a window opens where the pointer is, which may be on the
// projector in front of the hall.
void placeAtHome(QMessageBox &box)
{
    QScreen *screen = home() ? home()() : nullptr;
    if (box.parentWidget() || !screen)
        return;
    box.setScreen(screen);
    QRect place(QPoint(), box.sizeHint());
    place.moveCenter(screen->availableGeometry().center());
    box.move(place.topLeft());
}

void tell(QMessageBox::Icon icon, QWidget *parent, const QString &text)
{
    if (refuseHandler()) {
        refuseHandler()(parent, text);
        return;
    }
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok, parent);
    // A message box takes text that looks like markup for markup, <img> included.
    box.setTextFormat(Qt::PlainText);
    placeAtHome(box);
    box.exec();
}
} // namespace

void Prompt::refuse(QWidget *parent, const QString &text)
{
    tell(QMessageBox::NoIcon, parent, text);
}

void Prompt::fail(QWidget *parent, const QString &text)
{
    tell(QMessageBox::Critical, parent, text);
}

bool Prompt::confirm(QWidget *parent, const QString &text, Default byDefault)
{
    return confirm(parent, text, byDefault, {});
}

bool Prompt::confirm(QWidget *parent, const QString &text, Default byDefault,
                     const AnswerKeys &keys)
{
    if (confirmHandler())
        return confirmHandler()(parent, text);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(byDefault == Default::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    // Through the buttons, as a click answers. The keys come before the box's own use of
    // them (Space on the focused button, the arrows moving the focus).
    const auto answer = [&box](QMessageBox::StandardButton which) {
        return [&box, which] { box.button(which)->click(); };
    };
    for (const QKeySequence &key : keys.yes)
        RepeatGuard::instance().addShortcut(&box, key, answer(QMessageBox::Yes));
    for (const QKeySequence &key : keys.no)
        RepeatGuard::instance().addShortcut(&box, key, answer(QMessageBox::No));
    placeAtHome(box);
    return box.exec() == QMessageBox::Yes;
}

void Prompt::setRefuseHandler(RefuseHandler h)
{
    refuseHandler() = std::move(h);
}

void Prompt::setConfirmHandler(ConfirmHandler h)
{
    confirmHandler() = std::move(h);
}

void Prompt::setHomeScreen(HomeScreen home)
{
    ::home() = std::move(home);
}

#include "prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

void tell(QMessageBox::Icon icon, QWidget *parent, const QString &text)
{
    if (refuseHandler()) {
        refuseHandler()(parent, text);
        return;
    }
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::Ok, parent);
    // A message box takes text that looks like markup for markup, <img> included.
    box.setTextFormat(Qt::PlainText);
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
    if (confirmHandler())
        return confirmHandler()(parent, text);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(byDefault == Default::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
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

#include "refusal.h"

#include <QApplication>
#include <QMessageBox>

namespace {
Refusal::Handler &handler()
{
    static Refusal::Handler h;
    return h;
}
} // namespace

void Refusal::show(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void Refusal::setHandler(Handler h)
{
    handler() = std::move(h);
}

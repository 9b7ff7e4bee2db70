#pragma once

#include <QLabel>
#include <QString>

// A label for text that came from a file (names, file names): never markup, wrapped, and
// selectable so that the operator can copy it.
inline QLabel *plainLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

#include "fonts.h"

QFont Fonts::hall(bool bold)
{
    QFont f;
    f.setFamilies(hallFamilies());
    f.setBold(bold);
    return f;
}

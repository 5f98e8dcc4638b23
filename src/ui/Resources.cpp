#include "ui/Resources.h"

#include <QtGlobal>

void loadNumbrillResources()
{
    Q_INIT_RESOURCE(numbrill);
}

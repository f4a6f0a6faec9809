#include "gui/draw/Picture.h"

void Picture::release()
{
    if (refCount <= 0) return;
    if (--refCount == 0) delete this;
}

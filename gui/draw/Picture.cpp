#include "gui/draw/Picture.h"

namespace kelp {

void Picture::replace(Picture*& slot, Picture* picture)
{
    if (picture)
        picture->retain();
    if (slot)
        slot->release();
    slot = picture;
}

void Picture::release()
{
    if (refCount <= 0)
        return;
    if (--refCount == 0)
        delete this;
}

}  // namespace kelp

#include "model/groupfactory.h"

#include "model/coordsys.h"
#include "model/rparameters.h"
#include "model/techparameters.h"
#include "model/teeth.h"
#include "model/tools.h"

namespace GroupFactory {

ParameterGroup *create(int tag, QObject *parent)
{
    switch (tag) {
    case GroupTags::TechParams:
        return new TechParameters(parent);
    case GroupTags::RParams:
        return new RParameters(parent);
    case GroupTags::Coordsys:
        return new Coordsys(parent);
    case GroupTags::Tools:
        return new Tools(parent);
    case GroupTags::Teeth:
        return new Teeth(parent);
    default:
        return nullptr;
    }
}

} // namespace GroupFactory

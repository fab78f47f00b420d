#include "app/nuvdm.h"

namespace rirevar {

TDM1::TDM1() { setObjectName("DM1"); }

}  // namespace rirevar

#include "platform/linux/TestControl.h"

#include "platform/linux/State.h"

namespace standin {

void Reset() {
  detail::ResetRegistry();
  detail::ResetCrypto();
  detail::ResetModulePath();
  detail::ResetTickCount();
}

}  // namespace standin

#include "os/locale.h"

namespace os {

// The command-line tools print in the neutral conventions.
LocaleFormats UserLocaleFormats() {
    return LocaleFormats();
}

}  // namespace os

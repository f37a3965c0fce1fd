#include "settings/app_config.h"

namespace orvane {

const char* const DefaultSearchPage = "http://www.baidu.com";

}  // namespace orvane

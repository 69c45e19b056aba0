#include "ParamRecord.h"

namespace ParamRecord {
bool ValidateImage(const SettingsImage &, std::string &) { return true; }
}

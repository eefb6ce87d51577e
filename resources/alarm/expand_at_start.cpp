// Compiled into each program that links tamrix_alarm_image: such programs
// use AlarmImage without the clock's start-up, so it is expanded before main.
#include "resources/alarm/alarm_image.h"

namespace {

[[maybe_unused]] const int AlarmImageExpanded = (AlarmImageExpand(), 1);

}  // namespace

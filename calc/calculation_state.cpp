#include "calc/calculation_state.h"

namespace sepmet {

CalculationState& ProcessCalculationState() {
    static CalculationState state;
    return state;
}

} // namespace sepmet

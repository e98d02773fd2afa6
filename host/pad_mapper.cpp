#include "pad_mapper.h"

namespace fw {

std::vector<PadChange> PadMapper::button(PadButton button, bool down) {
    switch (button) {
        case PadButton::DpadLeft:
            return set(DpadLeft, down);
        case PadButton::DpadRight:
            return set(DpadRight, down);
        case PadButton::South:
            return set(ButtonTime, down);
        case PadButton::Back:
            return set(ButtonAcl, down);
        case PadButton::Other:
            break;
    }
    return {};
}

std::vector<PadChange> PadMapper::stick(int value) {
    // Within the band between kBack and kPushed a side keeps what it was.
    std::vector<PadChange> changes;
    auto side = [&](Source s, int towards) {
        const int v = value * towards;
        if (v > kPushed || v < kBack) {
            const auto c = set(s, v > kPushed);
            changes.insert(changes.end(), c.begin(), c.end());
        }
    };
    // Release first, so that a flick from one side to the other ends the one push
    // before the next begins.
    if (value > 0) {
        side(StickLeft, -1);
        side(StickRight, 1);
    } else {
        side(StickRight, 1);
        side(StickLeft, -1);
    }
    return changes;
}

std::vector<PadChange> PadMapper::releaseAll() {
    std::vector<PadChange> changes;
    for (int s = 0; s < Sources; ++s) {
        const auto c = set(Source(s), false);
        changes.insert(changes.end(), c.begin(), c.end());
    }
    return changes;
}

bool PadMapper::held(Control control) const {
    switch (control) {
        case Control::Left:
            return on_[DpadLeft] || on_[StickLeft];
        case Control::Right:
            return on_[DpadRight] || on_[StickRight];
        case Control::Time:
            return on_[ButtonTime];
        case Control::Acl:
            return on_[ButtonAcl];
    }
    return false;
}

std::vector<PadChange> PadMapper::set(Source source, bool on) {
    static constexpr Control controlOf[Sources] = {Control::Left,  Control::Right, Control::Left,
                                                   Control::Right, Control::Time,  Control::Acl};
    const Control control = controlOf[source];
    const bool before = held(control);
    on_[source] = on;
    if (held(control) == before) return {};
    return {PadChange{control, !before}};
}

}  // namespace fw

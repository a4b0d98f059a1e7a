#include "ui/ControlOrder.h"

#include <algorithm>

#include "ui/FormParts.h"

namespace {

const ControlLayout* Named(const std::vector<ControlLayout>& controls, const char* name) {
    for (const ControlLayout& c : controls) {
        if (name && lstrcmpA(c.name, name) == 0) return &c;
    }
    return nullptr;
}

// Takes `control` out of `order` and puts it right before `target`.
void MoveBefore(std::vector<const ControlLayout*>& order, const ControlLayout* control, const ControlLayout* target) {
    order.erase(std::find(order.begin(), order.end(), control));
    order.insert(std::find(order.begin(), order.end(), target), control);
}

}  // namespace

std::vector<const ControlLayout*> CreationOrder(const std::vector<ControlLayout>& controls) {
    // Tab positions first, then the rest in declaration order: an insertion sort keeps equal ones in
    // their order (and the exe free of the library's merge sort).
    std::vector<const ControlLayout*> order;
    const auto key = [](const ControlLayout* c) { return c->tabOrder < 0 ? 1 << 20 : c->tabOrder; };
    for (const ControlLayout& c : controls) {
        if (c.kind == ControlKind::Picture) continue;
        auto at = order.end();
        while (at != order.begin() && key(*(at - 1)) > key(&c)) --at;
        order.insert(at, &c);
    }
    return order;
}

std::vector<const ControlLayout*> ScreenReaderOrder(const std::vector<ControlLayout>& controls) {
    std::vector<const ControlLayout*> order = CreationOrder(controls);
    for (const ControlLayout& c : controls) {
        if (c.kind != ControlKind::Label || c.names) continue;
        order.erase(std::find(order.begin(), order.end(), &c));
        order.push_back(&c);
    }
    for (const ControlLayout& c : controls) {
        const ControlLayout* target = c.kind == ControlKind::Label ? Named(controls, c.names) : nullptr;
        if (target && target != &c && target->kind != ControlKind::Picture) MoveBefore(order, &c, target);
    }
    for (const ControlLayout& group : controls) {
        if (group.kind != ControlKind::GroupBox) continue;
        const auto first = std::find_if(order.begin(), order.end(),
                                        [&](const ControlLayout* c) { return FormParts::OnGroupBox(*c, group); });
        if (first != order.end()) MoveBefore(order, &group, *first);
    }
    return order;
}

#pragma once

namespace mirlet {

// One visitor from several lambdas, for std::visit.
template <class... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <class... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

}  // namespace mirlet

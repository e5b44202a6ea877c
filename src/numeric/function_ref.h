#pragma once
// A non-owning reference to a callable, used to hand model and basis
// functions to the fitting engines without allocating. The referenced
// callable must outlive the FunctionRef (pass lambdas straight into the
// call that uses them).
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace verto {

template <class Signature>
class FunctionRef;

template <class R, class... Args>
class FunctionRef<R(Args...)> {
 public:
  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, FunctionRef> &&
             std::is_invocable_r_v<R, F&, Args...>)
  FunctionRef(F&& f) noexcept {  // implicit: callables convert as arguments
    using Fn = std::remove_reference_t<F>;
    using Decayed = std::decay_t<F>;
    if constexpr (std::is_function_v<Fn>) {
      target_.fn = reinterpret_cast<void (*)()>(&f);
      call_ = [](Target t, Args... args) -> R {
        return std::invoke(reinterpret_cast<Fn*>(t.fn), std::forward<Args>(args)...);
      };
    } else if constexpr (std::is_pointer_v<Decayed> &&
                         std::is_function_v<std::remove_pointer_t<Decayed>>) {
      target_.fn = reinterpret_cast<void (*)()>(f);
      call_ = [](Target t, Args... args) -> R {
        return std::invoke(reinterpret_cast<Decayed>(t.fn), std::forward<Args>(args)...);
      };
    } else {
      target_.obj = const_cast<void*>(static_cast<const void*>(std::addressof(f)));
      call_ = [](Target t, Args... args) -> R {
        return std::invoke(*static_cast<Fn*>(t.obj), std::forward<Args>(args)...);
      };
    }
  }

  R operator()(Args... args) const { return call_(target_, std::forward<Args>(args)...); }

 private:
  union Target {
    void* obj;
    void (*fn)();
  };
  Target target_;
  R (*call_)(Target, Args...);
};

}  // namespace verto

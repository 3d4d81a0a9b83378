#pragma once
// One owner for anything that must be given back before a routine returns: a registry key, a
// device information set, an item-id list, a loaded library, or a state to restore.
#include <utility>

namespace velmaro {

// Runs release(handle) once, when the owner leaves its scope however it leaves, unless the
// handle was given back early (ReleaseNow) or handed away (Disown). Whether an empty handle
// needs releasing is the release's own rule, as the services differ in that.
template <typename Handle, typename Release>
class HandleOwner {
  public:
    HandleOwner(Handle handle, Release release) : handle_(std::move(handle)), release_(std::move(release)) {}
    ~HandleOwner() {
        if (!owned_) {
            return;
        }
        try {
            release_(handle_);
        } catch (...) {
            // Unwinding may already be under way; a second exception would end the program.
        }
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    const Handle& Get() const { return handle_; }
    // For a call that hands the handle out through a parameter.
    Handle& Receive() { return handle_; }
    // Gives the handle back now and passes on what the release answers.
    decltype(auto) ReleaseNow() {
        owned_ = false;
        return release_(handle_);
    }
    // The handle is no longer this owner's to give back.
    Handle Disown() {
        owned_ = false;
        return handle_;
    }

  private:
    Handle handle_;
    Release release_;
    bool owned_ = true;
};

}  // namespace velmaro

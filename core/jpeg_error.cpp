#include "jpeg_error.h"

namespace velmora::jpeg {

namespace {

void ExitOnError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    manager->code = manager->pub.msg_code;
    std::longjmp(manager->jump, 1);
}

// A damaged but readable picture decodes to its end: warnings are neither shown nor counted
// against it.
void IgnoreMessage(j_common_ptr, int) {}

void IgnoreOutput(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* AttachErrorManager(ErrorManager& manager) {
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ExitOnError;
    manager.pub.emit_message = IgnoreMessage;
    manager.pub.output_message = IgnoreOutput;
    return &manager.pub;
}

}  // namespace velmora::jpeg

// Nothing is heard; the mixer still runs at real-time pace so that sounds
// end, repeat and notify as they would on a device.
#include "platform/audio/output.h"

namespace audio {
namespace {

class NullOutput : public Output {
public:
    explicit NullOutput(int rate) : pacer_(rate) {}
    void wait(int frames) override { pacer_.wait(frames); }
    void write(const int16_t *, int) override {}
    void resume() override { pacer_.restart(); }
    const char *name() const override { return "null"; }

private:
    Pacer pacer_;
};

}  // namespace

std::unique_ptr<Output> open_null_output(int rate) { return std::make_unique<NullOutput>(rate); }

}  // namespace audio

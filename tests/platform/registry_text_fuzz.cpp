// libFuzzer target: any bytes as the store file. Parsing must stay inside
// its buffers and bounds, and what it could read must be written and read
// back to the same tree, so the next write never loses or changes a value.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegistryTree tree;
    RegistryParse(std::string(reinterpret_cast<const char*>(data), size), &tree);
    for (const RegistryTreeKey& key : tree.keys) {
        if (key.path.size() > kRegistryMaxPathLength) {
            __builtin_trap();
        }
        for (const RegistryValue& value : key.values) {
            if (value.name.size() > kRegistryMaxNameLength ||
                value.data.size() > kRegistryMaxValueSize) {
                __builtin_trap();
            }
        }
    }
    const std::string written = RegistrySerialize(tree);
    RegistryTree again;
    RegistryParse(written, &again);
    if (again.damaged || RegistrySerialize(again) != written) {
        __builtin_trap();
    }
    return 0;
}

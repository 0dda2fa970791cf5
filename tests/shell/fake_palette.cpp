#include "tests/shell/fake_palette.h"

#include "shell/palette.h"

FakePaletteDevice device;

const PALETTEENTRY kStandardStaticColours[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

namespace {

std::map<PaletteHandle, std::vector<PALETTEENTRY>> everCreated;

void Note(const std::string& s) {
    device.calls.push_back(s);
}

std::string Name(PaletteHandle h) {
    return h == kFakeStock ? "stock" : std::to_string(h);
}

const std::vector<PALETTEENTRY>* Find(PaletteHandle h) {
    if (h == kFakeStock) {
        return device.noStock ? nullptr : &device.stock;
    }
    auto it = device.palettes.find(h);
    return it == device.palettes.end() ? nullptr : &it->second;
}

PaletteHandle GetDefault() {
    return device.noStock ? 0 : kFakeStock;
}
int GetEntries(PaletteHandle h, int start, int count, PALETTEENTRY* out) {
    const std::vector<PALETTEENTRY>* p = Find(h);
    if (p == nullptr) {
        return 0;
    }
    if (out == nullptr) {
        return static_cast<int>(p->size());
    }
    int n = 0;
    for (int i = start; i < static_cast<int>(p->size()) && n < count; ++i) {
        out[n++] = (*p)[static_cast<size_t>(i)];
    }
    return n;
}
PaletteHandle Create(uint16_t version, int count, const PALETTEENTRY* entries) {
    Note("create " + std::to_string(count));
    if (device.failCreate || version != 0x300) {
        return 0;
    }
    PaletteHandle h = device.nextHandle++;
    device.palettes[h].assign(entries, entries + count);
    everCreated[h] = device.palettes[h];
    device.created.push_back(h);
    return h;
}
int Delete(PaletteHandle h) {
    Note("delete " + Name(h));
    return device.palettes.erase(h) != 0 ? 1 : 0;
}
PaletteHandle Select(DeviceContext, PaletteHandle h, int background) {
    Note("select " + Name(h) + (background ? " background" : " foreground"));
    if (device.failSelect || Find(h) == nullptr) {
        return 0;
    }
    PaletteHandle previous = device.selected != 0 ? device.selected : kFakeStock;
    device.selected = h;
    device.selectedBackground = background != 0;
    return previous;
}
int Realize(DeviceContext) {
    Note("realize");
    if (device.onRealize != nullptr) {
        device.onRealize();
    }
    const std::vector<PALETTEENTRY>* p = Find(device.selected);
    return p != nullptr ? static_cast<int>(p->size()) : -1;
}
int Unrealize(PaletteHandle h) {
    Note("unrealize " + Name(h));
    return Find(h) != nullptr ? 1 : 0;
}
uint32_t GetUse(DeviceContext) {
    return device.systemPaletteUse;
}
uint32_t SetUse(DeviceContext, uint32_t use) {
    Note("use " + std::to_string(use));
    uint32_t previous = device.systemPaletteUse;
    device.systemPaletteUse = use;
    return previous;
}
COLORREF GetColour(int element) {
    return element >= 0 && element < 25 ? device.colours[element] : 0;
}
int SetColours(int count, const int* elements, const COLORREF* values) {
    Note("set colours " + std::to_string(count));
    for (int i = 0; i < count; ++i) {
        if (elements[i] < 0 || elements[i] >= 25) {
            return 0;
        }
        device.colours[elements[i]] = values[i];
    }
    return 1;
}
void Broadcast() {
    Note("broadcast");
}

}  // namespace

const PaletteServices kFakePaletteServices = {
    GetDefault, GetEntries, Create, Delete,    Select,     Realize,
    Unrealize,  GetUse,     SetUse, GetColour, SetColours, Broadcast,
};

COLORREF FakeUserColour(int element) {
    // A scheme unlike both the replacements and 0, different for each element.
    return RGB(static_cast<uint8_t>(10 + element), static_cast<uint8_t>(100 + element),
               static_cast<uint8_t>(200 + element));
}

void ResetFakePalette() {
    device = FakePaletteDevice{};
    everCreated.clear();
    device.stock.assign(kStandardStaticColours, kStandardStaticColours + 20);
    for (int i = 0; i < 25; ++i) {
        device.colours[i] = FakeUserColour(i);
    }
    SaverPaletteResetForTests();
    paletteServices = &kFakePaletteServices;
}

const std::vector<PALETTEENTRY>& CreatedEntries(PaletteHandle h) {
    static const std::vector<PALETTEENTRY> none;
    auto it = everCreated.find(h);
    return it == everCreated.end() ? none : it->second;
}

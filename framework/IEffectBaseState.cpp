// The plug-in base's presets and state: serialising the parameter values,
// the preset slots and the chunk header.
#include "IEffectBase.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace
{
using Guard = std::lock_guard<IEffectLock>;
} // namespace

// --- Virtual operations ---

bool IEffectBase::WriteState(IByteBuffer& buffer)
{
    return SerializeParamValues(buffer);
}

int32_t IEffectBase::ReadState(const IByteBuffer& buffer, int32_t startPos)
{
    return UnserializeParams(buffer, startPos);
}

// --- State and presets ---

bool IEffectBase::SerializeParamValues(IByteBuffer& buffer)
{
    Guard guard(lock);
    const int32_t oldSize = buffer.Size();
    for (const auto& param : parameters)
    {
        if (!buffer.AppendDouble(param->Value()))
        {
            buffer.Resize(oldSize, true); // nothing half-written
            return false;
        }
    }
    return true;
}

int32_t IEffectBase::UnserializeParams(const IByteBuffer& buffer, int32_t startPos)
{
    Guard guard(lock);
    int32_t pos = startPos < 0 ? -1 : startPos;
    for (size_t i = 0; i < parameters.size() && pos >= 0; ++i)
    {
        double v = 0.0;
        pos = buffer.ReadAt(pos, 8, &v);
        if (pos < 0)
        {
            v = 0.0;
        }
        parameters[i]->SetValueClamped(v);
    }
    NotifyAllParameters();
    return pos;
}

IPresetSlot* IEffectBase::FirstFreePreset()
{
    for (auto& slot : presets)
    {
        if (!slot->initialised)
        {
            return slot.get();
        }
    }
    return nullptr;
}

void IEffectBase::DefinePreset(const char* name, ...)
{
    Guard guard(lock);
    IPresetSlot* slot = FirstFreePreset();
    if (slot == nullptr)
    {
        return;
    }
    slot->initialised = true;
    slot->SetName(name);
    slot->state.Resize(0, true);
    va_list args;
    va_start(args, name);
    for (const auto& param : parameters)
    {
        const double v =
            param->IsIntegerKind() ? static_cast<double>(va_arg(args, int)) : va_arg(args, double);
        slot->state.AppendDouble(v);
    }
    va_end(args);
}

void IEffectBase::FillPresetsFromCurrent(const char* name, int32_t count)
{
    Guard guard(lock);
    for (int32_t i = 0; i < count; ++i)
    {
        IPresetSlot* slot = FirstFreePreset();
        if (slot == nullptr)
        {
            return;
        }
        slot->initialised = true;
        slot->SetName(name != nullptr ? name : "Default");
        slot->state.Resize(0, true);
        SerializeParamValues(slot->state);
    }
}

void IEffectBase::EnsureOnePreset()
{
    Guard guard(lock);
    if (!presets.empty())
    {
        return;
    }
    presets.push_back(std::make_unique<IPresetSlot>());
    IPresetSlot& slot = *presets.back();
    slot.initialised = true;
    slot.SetName("Default");
    SerializeParamValues(slot.state);
}

const char* IEffectBase::PresetName(int32_t index) const
{
    const IPresetSlot* slot = GetPreset(index);
    return slot != nullptr ? slot->name : "";
}

void IEffectBase::NextUserPresetName(char* out, int outSize) const
{
    if (out == nullptr || outSize <= 0)
    {
        return;
    }
    static const char kUserPreset[] = "user preset";
    int count = 0;
    for (const auto& slot : presets)
    {
        if (std::strstr(slot->name, kUserPreset) != nullptr)
        {
            ++count;
        }
    }
    std::snprintf(out, static_cast<size_t>(outSize), "%s %d", kUserPreset, count + 1);
}

bool IEffectBase::LoadPreset(int32_t index)
{
    Guard guard(lock);
    if (index < 0 || index >= NPresets())
    {
        return false;
    }
    IPresetSlot& slot = *presets[static_cast<size_t>(index)];
    bool ok;
    if (slot.initialised)
    {
        ok = UnserializeParams(slot.state, 0) > 0;
    }
    else
    {
        slot.initialised = true;
        char name[IPresetSlot::kNameSize];
        NextUserPresetName(name, sizeof(name));
        slot.SetName(name);
        slot.state.Resize(0, true);
        ok = SerializeParamValues(slot.state);
    }
    if (ok)
    {
        currentPreset = index;
        PushParamsToEditor();
    }
    return ok;
}

void IEffectBase::StoreCurrentPreset(const char* name)
{
    Guard guard(lock);
    if (currentPreset < 0 || currentPreset >= NPresets())
    {
        return;
    }
    IPresetSlot& slot = *presets[static_cast<size_t>(currentPreset)];
    slot.state.Resize(0, true);
    SerializeParamValues(slot.state);
    if (name != nullptr && name[0] != '\0')
    {
        slot.SetName(name);
    }
}

bool IEffectBase::WriteChunkHeader(IByteBuffer& buffer)
{
    buffer.Resize(0, true);
    if (buffer.AppendInt32(kChunkMagic) && buffer.AppendInt32(kChunkVersion))
    {
        return true;
    }
    buffer.Resize(0, true);
    return false;
}

int32_t IEffectBase::ReadChunkHeader(const IByteBuffer& buffer, int32_t* version_)
{
    int32_t magic = 0;
    int32_t headerVersion = 0;
    int32_t startPos = 0;
    if (buffer.ReadAt(0, 4, &magic) == 4 && magic == kChunkMagic)
    {
        startPos = buffer.ReadAt(4, 4, &headerVersion) == 8 ? 8 : -1;
    }
    if (version_ != nullptr)
    {
        *version_ = startPos == 8 ? headerVersion : 0;
    }
    return startPos;
}

// --- Accessors ---

const IPresetSlot* IEffectBase::GetPreset(int32_t index) const
{
    return index >= 0 && index < NPresets() ? presets[static_cast<size_t>(index)].get() : nullptr;
}

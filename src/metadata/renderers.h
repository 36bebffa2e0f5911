#pragma once

#include <string>

#include "tag_entry.h"

namespace quorvela::metadata {

// Renderers named by the dictionary rows. Each takes the rendered value text and throws
// when the text cannot be turned into its display form.
std::string ShutterSpeedText(const std::string& text, RenderContext& context);
std::string FlashText(const std::string& text, RenderContext& context);
std::string ComponentsText(const std::string& text, RenderContext& context);
std::string WideTagText(const std::string& text, RenderContext& context);
std::string GpsPositionText(const std::string& text, RenderContext& context);
std::string GpsTimeText(const std::string& text, RenderContext& context);

}  // namespace quorvela::metadata

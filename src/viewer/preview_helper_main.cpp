// quorvela-preview: decodes previews for the window, one photo at a time, shut in by a sandbox.
// The window starts it and speaks to it over its standard input and output.
#include "viewer/preview_decoder.h"
#include "viewer/preview_helper.h"

int main() {
    quorvela::viewer::RunPreviewHelper(quorvela::viewer::DecodePreview);
}

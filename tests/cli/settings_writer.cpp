// Writes keys to a settings file through the settings engine, as the running program does.
// Usage: settings_writer FILE SECTION KEY VALUE [KEY VALUE]...
#include "settings/settings.h"

int main(int argc, char** argv) {
    if (argc < 5 || argc % 2 == 0)
        return 2;
    quillmark::Settings settings(argv[1]);
    quillmark::Settings::Batch batch(settings);
    for (int i = 3; i + 1 < argc; i += 2)
        settings.writeIni(argv[2], argv[i], argv[i + 1]);
    return 0;
}

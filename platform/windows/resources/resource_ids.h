// Resource identifiers of Mirelune.scr, shared by mirelune.rc and the C++ code.
// Plain #defines only: this header is also read by the resource compiler.
#ifndef MIRELUNE_RESOURCE_IDS_H
#define MIRELUNE_RESOURCE_IDS_H

// The application icon (16, 24, 32, 48 and 256 pixels). Windows shows the icon group
// with the lowest id as the file's icon; the configuration dialog loads it with
// LoadIcon(instance, MAKEINTRESOURCE(IDI_MIRELUNE)).
#define IDI_MIRELUNE 1

// String 1 of a screen saver is the name Windows shows in its list of screen savers.
#define IDS_DESCRIPTION 1

#endif

#pragma once
// Text server: the site's texts by key (the fixture's "text" lines).
// An SM string the caller frees, or null when the key has no text.
char* OSTRA_text(const char* key);

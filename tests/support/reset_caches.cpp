#include "support/reset.h"

#include "helpindex/displaycopy.h"
#include "helpindex/typeahead.h"
#include "pages/pagecache.h"

void ResetCaches()
{
    FullTextReset();
    TypeAheadReset();
    DisplayCopyReset();
}

#pragma once

// Makes the one-time backups of the help pages that are still missing.
void BackupHelpPages();

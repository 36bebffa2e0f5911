// Whole runs over folders: see below.

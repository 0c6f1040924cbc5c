int leaf;

// The C++ interface header on its own, in the standard it claims: it must
// bring in everything it needs and survive being included twice.
#include <if_index_vec/if_index_vector.hpp>
#include <if_index_vec/if_index_vector.hpp>
